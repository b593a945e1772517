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

// Every declared field's image place stays inside the data area, and no two
// fields of any group claim the same byte.
TEST(Declarations, ImagePlacesDoNotOverlapAndStayInTheDataArea) {
  std::set<std::size_t> used;
  for (const Group* group : packOrder()) {
    for (const FieldDecl& row : group->fields) {
      for (std::size_t i = row.offset; row.hasImagePlace() && i < row.offset + row.width; ++i) {
        EXPECT_GE(i, 14u) << row.control;
        EXPECT_LT(i, kEndMarkerOffset) << row.control;
        EXPECT_TRUE(used.insert(i).second) << "byte " << i << " claimed twice, by " << row.control;
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

// The orders hold every row once, addresses have their SSID rows, image
// places do not overlap and every name a rule uses resolves to a declared
// field; each kind of slip is caught by name.
TEST(Declarations, EveryReferenceResolvesAndEachSlipIsNamed) {
  EXPECT_EQ(declarationProblems(packOrder()), std::vector<std::string>{});

  struct Slip {
    const char* what;
    std::function<void(Group&)> make;
    std::vector<std::string> problems;
  };
  const auto edit = [](const char* control) { return editField(control, "", "", 6, "", "Tiny", control); };
  const auto combo = [](const char* control) { return comboField(control, "", "", {"No", "Yes"}, 0, "Tiny", control); };
  const Slip slips[] = {
      {"sound", [](Group&) {}, {}},
      {"twice", [&](Group& g) { g.add(edit("Call")); }, {"Tiny: the field \"Call\" is declared twice"}},
      {"trigger", [](Group& g) { g.rules.push_back(RuleDecl(nullptr, {"Call"})); },
       {"Tiny: a rule's trigger names \"Call\", which is no combo box"}},
      {"load rule", [](Group& g) { g.rules.emplace_back(nullptr).afterLoadOf = "Mod"; },
       {"Tiny: a rule run after a load names \"Mod\", which no field declares"}},
      {"file order", [](Group& g) { g.fileOrder = {&g.fields[0], &g.fields[2]}; },
       {"Tiny: the file order misses \"Ssid\""}},
      {"pack order", [](Group& g) { g.packOrder = {&g.fields[0], &g.fields[1], &g.fields[2], &g.fields[2]}; },
       {"Tiny: the pack order holds \"Mode\" twice"}},
      {"other group", [](Group& g) { g.packOrder = {&g.fields[0], &g.fields[1], &g.fields[2], &radioGroup().fields[0]}; },
       {"Tiny: the pack order holds \"Callsign\", a row of another group"}},
      {"overlap", [&](Group& g) { g.add(combo("Other").choice(21)); },
       {"Tiny: image byte 21 is claimed by \"Mode\" and \"Other\""}},
      {"no ssid", [&](Group& g) { g.add(edit("Path").address(30, "", "Path")); },
       {"Tiny: the address \"Path\" has no SSID row"}},
  };
  for (const Slip& slip : slips) {
    Group tiny("Tiny");
    tiny.addAddress(edit("Call").address(14, "Call - SSID range error (0 - 15).", "Call"), edit("Ssid"));
    tiny.add(combo("Mode").choice(21));
    slip.make(tiny);
    const Group* const groups[] = {&tiny};
    EXPECT_EQ(declarationProblems(groups), slip.problems) << slip.what;
  }
}

}  // namespace
}  // namespace trekmor
