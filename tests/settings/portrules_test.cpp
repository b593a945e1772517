#include <gtest/gtest.h>

#include "tests/support/declarations.h"
#include "tests/support/recordinginterface.h"

#include "settings/externalinterfaces.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::RecordingInterface;

// Item indexes, by their texts.
constexpr int kS1None = 0, kS1Weather = 1, kS1Console = 2, kS1Gps = 3, kS1Kiss = 4;
constexpr int kS2None = 0, kS2Console = 1, kS2Kiss = 2, kS2Passthrough = 3;

const std::string kBtConsole =
    "Bluetooth port 1 changed to None.\rReason:\rSerial console can be selected on one port only.";
const std::string kBtKiss =
    "Bluetooth port 1 changed to None.\rReason:\rKISS packet output can be selected on one port only.";
const std::string kRsConsole =
    "RS-232 port 2 changed to None.\rReason:\rSerial console can be selected on one port only.";
const std::string kRsKiss = "RS-232 port 2 changed to None.\rReason:\rKISS packet output can be selected on one port only.";
const std::string kRsGps =
    "RS-232 port 2 changed to GPS.\rReason:\rGPS passthrough function on Bluetooth 1 port needs a GPS connected to "
    "RS-232 port 2.";

FieldStore ports(int serial1, int serial2) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Serial1_mode", serial1);
  fields.setIndex("Serial2_mode", serial2);
  return fields;
}

// One case of a rule: the pair before, the pair after and the message.
struct RuleCase {
  int serial1;
  int serial2;
  int serial1After;
  int serial2After;
  std::string message;  // empty: no box
};

void expectRule(void (*rule)(Fields&, UserInterface&), const RuleCase& c) {
  FieldStore fields = ports(c.serial1, c.serial2);
  RecordingInterface ui;
  rule(fields, ui);
  const std::string pair = std::to_string(c.serial1) + "/" + std::to_string(c.serial2);
  EXPECT_EQ(fields.index("Serial1_mode"), c.serial1After) << pair;
  EXPECT_EQ(fields.index("Serial2_mode"), c.serial2After) << pair;
  if (c.message.empty()) {
    EXPECT_TRUE(ui.boxes.empty()) << pair;
  } else {
    EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + c.message}) << pair;
  }
}

// Every pair of selections, "no selection" included; the pairs named in
// `changes` change, every other pair stays as it is without a message.
void expectRuleOverEveryPair(void (*rule)(Fields&, UserInterface&), const std::vector<RuleCase>& changes) {
  for (int serial1 = -1; serial1 <= kS1Kiss; ++serial1) {
    for (int serial2 = -1; serial2 <= kS2Passthrough; ++serial2) {
      RuleCase expected{serial1, serial2, serial1, serial2, ""};
      for (const RuleCase& change : changes) {
        if (change.serial1 == serial1 && change.serial2 == serial2) expected = change;
      }
      expectRule(rule, expected);
    }
  }
}

TEST(PortRules, Rs232RuleResolvesConsoleAndKissClashesOnTheBluetoothPort) {
  expectRuleOverEveryPair(serial1ModeChange, {{kS1Console, kS2Console, kS1Console, kS2None, kBtConsole},
                                              {kS1Kiss, kS2Kiss, kS1Kiss, kS2None, kBtKiss}});
}

TEST(PortRules, BluetoothRuleResolvesClashesOnTheRs232PortAndKeepsAGpsForPassthrough) {
  std::vector<RuleCase> changes = {{kS1Console, kS2Console, kS1None, kS2Console, kRsConsole},
                                   {kS1Kiss, kS2Kiss, kS1None, kS2Kiss, kRsKiss}};
  for (int serial1 : {-1, kS1None, kS1Weather, kS1Console, kS1Kiss}) {
    changes.push_back({serial1, kS2Passthrough, kS1Gps, kS2Passthrough, kRsGps});
  }
  expectRuleOverEveryPair(serial2ModeChange, changes);
}

TEST(PortRules, StartValuesRaiseNoMessage) {
  FieldStore fields;
  for (const FieldDecl* field : allFields()) {
    if (field->isCombo()) {
      fields.declareCombo(field->control, int(field->choices.size()));
    } else {
      fields.declareEdit(field->control);
    }
  }
  RecordingInterface ui;
  applyStartValues(fields, ui);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(fields.index("Serial1_mode"), kS1Gps);
  EXPECT_EQ(fields.index("Serial2_mode"), kS2Kiss);
}

// Which rules a trigger runs, told apart by two states: with both ports on
// the serial console the rule run first decides the message; with GPS
// passthrough and nothing on the RS-232 port only the Bluetooth rule acts.
struct TriggerCase {
  std::string trigger;
  std::vector<std::string> consoleClash;
  std::vector<std::string> passthrough;
};

const Rule& userRule(const std::string& control) {
  const std::vector<const RuleDecl*> rules = testing::rulesTriggeredBy(control);
  static const Rule none;
  if (rules.size() == 1) return rules[0]->run;
  ADD_FAILURE() << rules.size() << " rules triggered by " << control;
  return none;
}

// The rule that ends the window's construction, an unpack and a load.
const Rule& endRule() {
  for (const RuleDecl& rule : externalInterfacesGroup().rules) {
    if (rule.atStartEnd && rule.atLoadEnd && rule.atUnpackEnd) return rule.run;
  }
  static const Rule none;
  return none;
}

TEST(PortRules, EveryTriggerRunsItsRules) {
  const Rule finish = endRule();
  ASSERT_TRUE(finish);
  const std::vector<TriggerCase> cases = {
      {"Serial1_mode", {kBtConsole}, {}},
      {"Serial2_mode", {kRsConsole}, {kRsGps}},
      {"Weather_stationtype", {kBtConsole}, {kRsGps}},
      {"Testtone_pattern", {kBtConsole}, {}},
      {"Testtone_enable", {kRsConsole}, {kRsGps}},
      {"Testtone_bypasspa", {kRsConsole}, {kRsGps}},
      {"finish", {kBtConsole}, {kRsGps}},
  };
  const auto asBoxes = [](std::vector<std::string> texts) {
    for (std::string& text : texts) text = "information: " + text;
    return texts;
  };
  for (const TriggerCase& c : cases) {
    const Rule& rule = c.trigger == "finish" ? finish : userRule(c.trigger);
    if (!rule) continue;
    FieldStore clash = ports(kS1Console, kS2Console);
    RecordingInterface clashUi;
    rule(clash, clashUi);
    EXPECT_EQ(clashUi.boxes, asBoxes(c.consoleClash)) << c.trigger;
    FieldStore passthrough = ports(kS1None, kS2Passthrough);
    RecordingInterface passthroughUi;
    rule(passthrough, passthroughUi);
    EXPECT_EQ(passthroughUi.boxes, asBoxes(c.passthrough)) << c.trigger;
  }
}

TEST(PortRules, TestToneFieldsAreNeverChangedByTheRules) {
  FieldStore fields = ports(kS1None, kS2Passthrough);
  fields.setIndex("Testtone_enable", 1);
  fields.setIndex("Testtone_pattern", 0);
  RecordingInterface ui;
  userRule("Testtone_enable")(fields, ui);
  EXPECT_EQ(fields.index("Serial1_mode"), kS1Gps);
  EXPECT_EQ(fields.index("Testtone_enable"), 1);
  EXPECT_EQ(fields.index("Testtone_pattern"), 0);
  EXPECT_EQ(fields.index("Testtone_bypasspa"), 0);
}

TEST(PortRules, GpsPassthroughAllowsNoneUntilTheWeatherStationChanges) {
  FieldStore fields = ports(kS1Gps, kS2Passthrough);
  RecordingInterface ui;
  fields.setIndex("Serial1_mode", kS1None);  // the user's choice
  userRule("Serial1_mode")(fields, ui);
  EXPECT_EQ(fields.index("Serial1_mode"), kS1None);
  EXPECT_TRUE(ui.boxes.empty());
  fields.setIndex("Weather_stationtype", 3);
  userRule("Weather_stationtype")(fields, ui);
  EXPECT_EQ(fields.index("Serial1_mode"), kS1Gps);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + kRsGps});
}

// What a load does: every value set as read, then the finishing rules.
TEST(PortRules, LoadedConsoleOnBothPortsEndsWithTheBluetoothPortOnNone) {
  FieldStore fields = FieldStore::withStartValues();
  setFieldValue(*findField("Serial1_mode"), fields, "2");
  setFieldValue(*findField("Serial2_mode"), fields, "1");
  RecordingInterface ui;
  runRulesAt(packOrder(), &RuleDecl::atLoadEnd, fields, ui);
  EXPECT_EQ(fields.index("Serial1_mode"), kS1Console);
  EXPECT_EQ(fields.index("Serial2_mode"), kS2None);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + kBtConsole});
}

// Records the order in which fields are set.
class RecordingFields final : public Fields {
 public:
  explicit RecordingFields(FieldStore& store) : m_store(store) {}
  std::string text(std::string_view control) const override { return m_store.text(control); }
  void setText(std::string_view control, std::string_view value) override {
    sets.emplace_back(control);
    m_store.setText(control, value);
  }
  int index(std::string_view control) const override { return m_store.index(control); }
  void setIndex(std::string_view control, int value) override {
    sets.emplace_back(control);
    m_store.setIndex(control, value);
  }
  bool enabled(std::string_view control) const override { return m_store.enabled(control); }
  void setEnabled(std::string_view control, bool value) override { m_store.setEnabled(control, value); }
  std::vector<std::string> sets;

 private:
  FieldStore& m_store;
};

TEST(PortRules, UnpackRunsThemAsItsVeryLastAction) {
  FieldStore source = FieldStore::withStartValues();
  source.setIndex("Serial1_mode", kS1Kiss);
  source.setIndex("Serial2_mode", kS2Kiss);  // a clash only a pack can carry to the device
  Image image;
  ASSERT_TRUE(packConfigImage(source, image, 3));

  FieldStore store = FieldStore::withStartValues();
  RecordingFields fields(store);
  RecordingInterface ui;
  ASSERT_TRUE(unpackConfigImage(image, fields, ui));
  ASSERT_FALSE(fields.sets.empty());
  EXPECT_EQ(fields.sets.back(), "Serial2_mode");  // the RS-232 rule's change, after every unpacked field
  const auto testTone = std::find(fields.sets.begin(), fields.sets.end(), "Testtone_bypasspa");
  ASSERT_NE(testTone, fields.sets.end());
  EXPECT_EQ(testTone + 1, fields.sets.end() - 1);
  EXPECT_EQ(store.index("Serial1_mode"), kS1Kiss);
  EXPECT_EQ(store.index("Serial2_mode"), kS2None);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + kBtKiss});
}

}  // namespace
}  // namespace trekmor
