#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "settings/pipeline.h"
#include "settings/registry.h"
#include "settings/telemetrypresets.h"

namespace trekmor {
namespace {

// The group's action behind a "Default parameters" button.
void click(const std::string& button, Fields& fields) {
  for (const ButtonDecl& declared : telemetryGroup().buttons) {
    if (declared.name == button) {
      declared.click(fields, silentInterface());
      return;
    }
  }
  ADD_FAILURE() << "no action for " << button;
}


// Fills a channel with values no preset writes, the switch on.
void scribbleAnalog(Fields& fields, int k) {
  for (const char* part : {"name", "units", "coefa", "coefb", "coefc"}) fields.setText(analogControl(k, part), "zz");
  fields.setIndex(analogControl(k, "average"), 1);
}

void scribbleDigital(Fields& fields, int k) {
  fields.setText(digitalControl(k, "name"), "zz");
  fields.setText(digitalControl(k, "units"), "zz");
  fields.setIndex(digitalControl(k, "inverted"), 1);
}

struct AnalogRow {
  int source;
  const char* name;  // for channel 3
  const char* units;
  const char* a;
  const char* b;
  const char* c;
};

std::ostream& operator<<(std::ostream& out, const AnalogRow& row) { return out << "source " << row.source; }

class AnalogPresets : public ::testing::TestWithParam<AnalogRow> {};

TEST_P(AnalogPresets, ButtonWritesTheRowOfTheChosenSource) {
  const AnalogRow& row = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  const FieldStore untouched = fields;
  scribbleAnalog(fields, 3);
  fields.setIndex("Teleanalog3_source", row.source);
  click("Button_teleanalog3_default", fields);
  EXPECT_EQ(fields.text("Teleanalog3_name"), row.name);
  EXPECT_EQ(fields.text("Teleanalog3_units"), row.units);
  EXPECT_EQ(fields.text("Teleanalog3_coefa"), row.a);
  EXPECT_EQ(fields.text("Teleanalog3_coefb"), row.b);
  EXPECT_EQ(fields.text("Teleanalog3_coefc"), row.c);
  EXPECT_EQ(fields.index("Teleanalog3_average"), 0);
  EXPECT_EQ(fields.index("Teleanalog3_source"), row.source);
  // Nothing outside the channel changes.
  fields.setIndex("Teleanalog3_source", 0);
  click("Button_teleanalog3_default", fields);
  EXPECT_TRUE(fields == untouched);
}

INSTANTIATE_TEST_SUITE_P(
    EverySource, AnalogPresets,
    ::testing::Values(AnalogRow{0, "A3", "None", "0", "0", "0"}, AnalogRow{1, "I1", "mA", "0", "19.5", "0"},
                      AnalogRow{2, "I1", "mA", "0", "9.76", "0"}, AnalogRow{3, "I1", "mA", "0", "4.88", "0"},
                      AnalogRow{4, "I2", "mA", "0", "19.5", "0"}, AnalogRow{5, "I2", "mA", "0", "9.76", "0"},
                      AnalogRow{6, "I2", "mA", "0", "4.88", "0"}, AnalogRow{7, "U1", "Volt", "0", "0.1", "0"},
                      AnalogRow{8, "U2", "Volt", "0", "0.1", "0"}, AnalogRow{9, "Temp", "C", "0", "0.5", "-64"},
                      AnalogRow{10, "Temp", "C", "0", "0.5", "-64"}, AnalogRow{11, "Vin", "Volt", "0", "0.075", "0"},
                      AnalogRow{12, "Temp", "C", "0", "0.5", "-64"}, AnalogRow{13, "Temp", "C", "0", "0.5", "-64"},
                      AnalogRow{14, "Dpth", "cm", "0", "1", "0"}));

struct DigitalRow {
  int source;
  const char* name;   // for channel 7
  const char* label;
};

std::ostream& operator<<(std::ostream& out, const DigitalRow& row) { return out << "source " << row.source; }

class DigitalPresets : public ::testing::TestWithParam<DigitalRow> {};

TEST_P(DigitalPresets, ButtonWritesTheRowOfTheChosenSource) {
  const DigitalRow& row = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  scribbleDigital(fields, 7);
  fields.setIndex("Teledigital7_source", row.source);
  click("Button_teledigital7_default", fields);
  EXPECT_EQ(fields.text("Teledigital7_name"), row.name);
  EXPECT_EQ(fields.text("Teledigital7_units"), row.label);
  EXPECT_EQ(fields.index("Teledigital7_inverted"), 0);
  EXPECT_EQ(fields.index("Teledigital7_source"), row.source);
}

INSTANTIATE_TEST_SUITE_P(EverySource, DigitalPresets,
                         ::testing::Values(DigitalRow{0, "B7", "Non"}, DigitalRow{1, "O1", "On"},
                                           DigitalRow{2, "O2", "On"}, DigitalRow{3, "O3", "On"},
                                           DigitalRow{4, "O4", "On"}, DigitalRow{5, "I1", "Hi"},
                                           DigitalRow{6, "I2", "Hi"}, DigitalRow{7, "I3", "Hi"},
                                           DigitalRow{8, "I4", "Hi"}));

// The "Not used" row names the channel; channels 6 to 8 take the short label.
TEST(TelemetryPresets, NotUsedRowDependsOnTheChannel) {
  FieldStore fields = FieldStore::withStartValues();
  for (int k = 1; k <= 5; ++k) {
    scribbleAnalog(fields, k);
    fields.setIndex(analogControl(k, "source"), 0);
    click(analogButton(k), fields);
    EXPECT_EQ(fields.text(analogControl(k, "name")), "A" + std::to_string(k));
    EXPECT_EQ(fields.text(analogControl(k, "units")), "None");
    EXPECT_EQ(fields.index(analogControl(k, "average")), 0);
  }
  for (int k = 1; k <= 8; ++k) {
    scribbleDigital(fields, k);
    fields.setIndex(digitalControl(k, "source"), 0);
    click(digitalButton(k), fields);
    EXPECT_EQ(fields.text(digitalControl(k, "name")), "B" + std::to_string(k));
    EXPECT_EQ(fields.text(digitalControl(k, "units")), k <= 5 ? "None" : "Non") << k;
    EXPECT_EQ(fields.index(digitalControl(k, "inverted")), 0);
  }
}

// Each button acts on its own channel only.
TEST(TelemetryPresets, EachButtonReadsAndWritesItsOwnChannel) {
  FieldStore fields = FieldStore::withStartValues();
  for (int k = 1; k <= 5; ++k) fields.setIndex(analogControl(k, "source"), 6 + k);  // 7..11
  for (int k = 1; k <= 8; ++k) fields.setIndex(digitalControl(k, "source"), 9 - k);  // 8..1
  const char* analog[] = {"U1", "U2", "Temp", "Temp", "Vin"};
  const char* digital[] = {"I4", "I3", "I2", "I1", "O4", "O3", "O2", "O1"};
  for (int k = 1; k <= 5; ++k) {
    click(analogButton(k), fields);
    EXPECT_EQ(fields.text(analogControl(k, "name")), analog[k - 1]);
    if (k < 5) {
      EXPECT_EQ(fields.text(analogControl(k + 1, "name")), "A" + std::to_string(k + 1));
    }
  }
  for (int k = 1; k <= 8; ++k) {
    click(digitalButton(k), fields);
    EXPECT_EQ(fields.text(digitalControl(k, "name")), digital[k - 1]);
  }
  EXPECT_EQ(telemetryGroup().buttons.size(), 13u);
}

TEST(TelemetryPresets, NoSourceSelectedChangesNothing) {
  FieldStore fields = FieldStore::withStartValues();
  scribbleAnalog(fields, 2);
  scribbleDigital(fields, 4);
  fields.setIndex("Teleanalog2_source", -1);
  fields.setIndex("Teledigital4_source", -1);
  const FieldStore before = fields;
  click("Button_teleanalog2_default", fields);
  click("Button_teledigital4_default", fields);
  EXPECT_TRUE(fields == before);
}

// The channels' start values are those the presets give for the start
// sources, and the declarations say the same.
TEST(TelemetryPresets, StartValuesComeFromThePresets) {
  const FieldStore fields = FieldStore::withStartValues();
  EXPECT_EQ(fields.index("Teleanalog1_source"), 11);
  EXPECT_EQ(fields.text("Teleanalog1_name"), "Vin");
  EXPECT_EQ(fields.text("Teleanalog1_units"), "Volt");
  EXPECT_EQ(fields.text("Teleanalog1_coefa"), "0");
  EXPECT_EQ(fields.text("Teleanalog1_coefb"), "0.075");
  EXPECT_EQ(fields.text("Teleanalog1_coefc"), "0");
  for (int k = 2; k <= 5; ++k) {
    EXPECT_EQ(fields.index(analogControl(k, "source")), 0);
    EXPECT_EQ(fields.text(analogControl(k, "name")), "A" + std::to_string(k));
    EXPECT_EQ(fields.text(analogControl(k, "units")), "None");
    EXPECT_EQ(fields.text(analogControl(k, "coefb")), "0");
  }
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(fields.index(digitalControl(k, "source")), k);
    EXPECT_EQ(fields.text(digitalControl(k, "name")), (k <= 4 ? "O" : "I") + std::to_string(k <= 4 ? k : k - 4));
    EXPECT_EQ(fields.text(digitalControl(k, "units")), k <= 4 ? "On" : "Hi");
    EXPECT_EQ(fields.index(digitalControl(k, "inverted")), 0);
  }
  for (const FieldDecl& field : telemetryGroup().fields) {
    if (field.isCombo()) {
      EXPECT_EQ(std::to_string(fields.index(field.control)), field.start) << field.control;
    } else {
      EXPECT_EQ(fields.text(field.control), field.start) << field.control;
    }
  }
}

// The construction rule sets digital channel k to source k before its preset
// and gives every channel its preset, whatever the fields held before.
TEST(TelemetryPresets, ConstructionRuleRebuildsTheChannelsFromTheirSources) {
  FieldStore fields = FieldStore::withStartValues();
  const FieldStore start = fields;
  for (int k = 1; k <= 5; ++k) scribbleAnalog(fields, k);
  for (int k = 1; k <= 8; ++k) {
    scribbleDigital(fields, k);
    fields.setIndex(digitalControl(k, "source"), 0);
  }
  const Group* const telemetry[] = {&telemetryGroup()};
  runRulesAt(telemetry, &RuleDecl::atStartEnd, fields, silentInterface());
  EXPECT_TRUE(fields == start);
}

// Neither the pack nor the unpack runs a preset: a channel keeps the texts it
// was given, whatever its source.
TEST(TelemetryPresets, PackAndUnpackLeaveTheChannelTextsAlone) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Teleanalog4_source", 14);
  fields.setText("Teleanalog4_name", "Lvl");
  fields.setIndex("Teledigital2_source", 0);
  fields.setText("Teledigital2_name", "Door");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(fields.text("Teleanalog4_name"), "Lvl");
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  EXPECT_EQ(read.index("Teleanalog4_source"), 14);
  EXPECT_EQ(read.text("Teleanalog4_name"), "Lvl");
  EXPECT_EQ(read.text("Teleanalog4_units"), "None");
  EXPECT_EQ(read.text("Teledigital2_name"), "Door");
  EXPECT_EQ(read.text("Teledigital2_units"), "On");
}

TEST(TelemetryPresets, PresetTextsFitEveryChannelTheyCanReach) {
  for (int k = 1; k <= 5; ++k) {
    const int limit = testing::fieldOf(telemetryGroup(), analogControl(k, "name"))->maxLength;
    for (int s = 0; s < int(analogSourceItems().size()); ++s) {
      const AnalogPreset p = analogPreset(k, s);
      EXPECT_LE(int(p.name.size()), limit) << k << "/" << s;
      EXPECT_LE(int(p.units.size()), limit) << k << "/" << s;
    }
  }
  for (int k = 1; k <= 8; ++k) {
    const int limit = testing::fieldOf(telemetryGroup(), digitalControl(k, "units"))->maxLength;
    for (int s = 0; s < int(digitalSourceItems().size()); ++s) {
      const DigitalPreset p = digitalPreset(k, s);
      EXPECT_LE(int(p.name.size()), limit) << k << "/" << s;
      EXPECT_LE(int(p.label.size()), limit) << k << "/" << s;
    }
  }
}

TEST(TelemetryPresets, SourceItems) {
  const std::vector<std::string> analog = {"Not used",
                                           "(M) Current1 (5A fullscale)",
                                           "(M) Current1 (2.5A fullscale)",
                                           "(M) Current1 (1.25A fullscale)",
                                           "(M) Current2 (5A fullscale)",
                                           "(M) Current2 (2.5A fullscale)",
                                           "(M) Current2 (1.25A fullscale)",
                                           "(M) Voltage1",
                                           "(M) Voltage2",
                                           "(M) Temperature (DS18B20)",
                                           "(M) Temperature (DS18S20)",
                                           "(I) Input voltage",
                                           "(E) Temperature (DS18B20)",
                                           "(E) Temperature (DS18S20)",
                                           "(M) Water depth [cm]"};
  const std::vector<std::string> digital = {"Not used",    "(M) Output 1", "(M) Output 2", "(M) Output 3", "(M) Output 4",
                                            "(M) Input 1", "(M) Input 2",  "(M) Input 3",  "(M) Input 4"};
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(testing::fieldOf(telemetryGroup(), analogControl(k, "source"))->choices, analog);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(testing::fieldOf(telemetryGroup(), digitalControl(k, "source"))->choices, digital);
}

}  // namespace
}  // namespace trekmor
