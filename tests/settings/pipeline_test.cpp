#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "settings/pipeline.h"
#include "settings/registry.h"
#include "tests/support/declarations.h"
#include "tests/support/recordinginterface.h"

namespace trekmor {
namespace {

using testing::RecordingInterface;

TEST(Pipeline, DefaultImageIsCompleteAndOnlyDataBytesAreUsed) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  image.fill(0xAA);  // the pack clears whatever was there
  ASSERT_TRUE(packConfigImage(fields, image, 99));
  EXPECT_TRUE(checkImageIntegrity(image));
  EXPECT_TRUE(std::all_of(image.begin() + 1508, image.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_LT(getLE(image, 4, 2), 10000u);
}

TEST(Pipeline, TwoPacksDifferOnlyInTheHeader) {
  FieldStore fields = FieldStore::withStartValues();
  Image a;
  Image b;
  ASSERT_TRUE(packConfigImage(fields, a, 1));
  ASSERT_TRUE(packConfigImage(fields, b, 2));
  EXPECT_TRUE(std::equal(a.begin() + 6, a.end(), b.begin() + 6));
}

TEST(Pipeline, VersionMismatchChangesNoFieldAndShowsOneMessage) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  image[10] = '3';  // "v1.13"
  fields.setText("Callsign", "KEEPME");
  const FieldStore before = fields;
  RecordingInterface ui;
  EXPECT_FALSE(unpackConfigImage(image, fields, ui));
  EXPECT_TRUE(fields == before);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].find("Device: v1.13"), std::string::npos);
}

// Every declared field's image steps stay inside the data area, and no two
// fields of any group claim the same byte.
TEST(Declarations, ImagePlacesDoNotOverlapAndStayInTheDataArea) {
  std::set<std::size_t> used;
  for (const Group* group : packOrder()) {
    for (const StepDecl& step : group->steps) {
      if (step.encoding == Encoding::Zero || step.width == 0) continue;
      for (std::size_t i = step.offset; i < step.offset + step.width; ++i) {
        EXPECT_GE(i, 14u) << step.control;
        EXPECT_LT(i, kEndMarkerOffset) << step.control;
        EXPECT_TRUE(used.insert(i).second) << "byte " << i << " claimed twice, by " << step.control;
      }
    }
  }
}

TEST(Declarations, EveryFieldHasOneUniqueFileKeyAndAppearsInTheFileOrder) {
  std::set<std::string> keys;
  std::set<std::string> ordered;
  for (const Group* group : packOrder()) {
    for (const std::string& control : testing::fileControls(*group)) {
      EXPECT_NE(findField(control), nullptr) << control;
      EXPECT_TRUE(ordered.insert(control).second) << control;
    }
  }
  for (const FieldDecl* field : allFields()) {
    EXPECT_TRUE(keys.insert(field->section + "/" + field->key).second) << field->key;
    EXPECT_EQ(ordered.count(field->control), 1u) << field->control;
    if (field->isCombo()) {
      const int start = std::stoi(field->start);
      EXPECT_TRUE(start >= 0 && start < int(field->choices.size())) << field->control;
    } else if (field->maxLength > 0) {
      EXPECT_LE(int(field->start.size()), field->maxLength) << field->control;
    }
  }
}

// Every name a step, a file order, a rule, a button or a layout cell uses
// resolves to a declared field, and each kind of slip is caught by name.
TEST(Declarations, EveryReferenceResolvesAndEachSlipIsNamed) {
  EXPECT_EQ(declarationProblems(packOrder(), tabTree()), std::vector<std::string>{});

  struct Slip {
    const char* what;
    std::function<void(Group&, std::vector<Page>&)> make;
    std::string problem;
  };
  const Slip slips[] = {
      {"step", [](Group& g, auto&) { g.steps[0].control = "Calsign"; },
       "Radio: an image step names \"Calsign\", which no field declares"},
      {"ssid", [](Group& g, auto&) { g.steps[0].ssidControl = "Sid"; },
       "Radio: an image step's SSID names \"Sid\", which no field declares"},
      {"file order", [](Group& g, auto&) { g.fileOrder = {"Callsign", "Txdelai"}; },
       "Radio: the file order names \"Txdelai\", which no field declares"},
      {"trigger", [](Group& g, auto&) { g.rules.push_back(RuleDecl(nullptr, {"Txtail"})); },
       "Radio: a rule's trigger names \"Txtail\", which is no combo box"},
      {"load rule", [](Group& g, auto&) { g.rules.emplace_back(nullptr).afterLoadOf = "Squelsh"; },
       "Radio: a rule run after a load names \"Squelsh\", which no field declares"},
      {"button", [](Group& g, auto&) { g.buttons.push_back({"Button_nowhere", nullptr}); },
       "Radio: the button \"Button_nowhere\" stands on no tab page"},
      {"cell", [](Group&, auto& tabs) { tabs[0].rows.push_back(formRow("Latitud")); },
       "a tab page's cell names \"Latitud\", which no field declares"},
      {"twice", [](Group& g, auto&) { g.fields.push_back(g.fields[0]); },
       "Radio: the field \"Callsign\" is declared twice"},
  };
  for (const Slip& slip : slips) {
    Group radio = radioGroup();
    std::vector<Page> tabs = tabTree();
    slip.make(radio, tabs);
    std::vector<const Group*> groups = packOrder();
    groups[0] = &radio;
    EXPECT_EQ(declarationProblems(groups, tabs), std::vector<std::string>{slip.problem}) << slip.what;
  }
}

}  // namespace
}  // namespace trekmor
