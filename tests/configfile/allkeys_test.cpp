// Save and load across every settings group: all 271 keys, the value forms,
// sections missing from a file, and the rules that follow a load.
#include <gtest/gtest.h>

#include "tests/support/recordinginterface.h"

#include <set>

#include "configfile/configfile.h"
#include "configfile/profile.h"
#include "settings/pipeline.h"
#include "settings/registry.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

using testing::RecordingInterface;

// The port choices and what triggers their rules keep their start values, so
// that the rules at the end of the load leave them alone.
bool drivesPortRules(const std::string& control) {
  return control == "Serial1_mode" || control == "Serial2_mode" || control == "Weather_stationtype" ||
         control.rfind("Testtone_", 0) == 0;
}

TEST(AllKeys, SaveWritesTheHeaderAnd271SettingsKeysInTheirSections) {
  TempDir dir;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "all.cfg"));
  const std::string text = readFile(dir / "all.cfg");
  std::vector<std::string> sections;
  int keys = 0;
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] == '[') {
      sections.push_back(line);
    } else if (line.find('=') != std::string::npos) {
      ++keys;
    }
  }
  EXPECT_EQ(keys, 3 + 271);
  EXPECT_EQ(sections, (std::vector<std::string>{"[!WARNING]", "[Radio]", "[PositionReports]", "[Digipeater]",
                                                "[Beacons]", "[Telemetry]", "[Weather]", "[SerialPorts]", "[Debug]",
                                                "[WXTideMarker]", "[Testtone]"}));
  // The late keys of the external interfaces join their sections at the end.
  EXPECT_LT(text.find("WXPins_output4="), text.find("Telemodule_enable="));
  EXPECT_LT(text.find("Weather_comment="), text.find("Weather_stationtype="));
  EXPECT_LT(text.find("ConsoleBaudrate="), text.find("GPSBaudrate="));
  EXPECT_LT(text.find("GPSBaudrate="), text.find("KISSBaudrate="));
}

TEST(AllKeys, RoundTripGivesEveryFieldBackWithTheStatedExceptions) {
  FieldStore fields = FieldStore::withStartValues();
  FieldStore expected = fields;
  int n = 0;
  for (const FieldDecl* field : allFields()) {
    ++n;
    if (drivesPortRules(field->control)) continue;
    switch (field->form) {
      case FileForm::Text: {
        const std::string value = "t" + std::to_string(n) + " x;#";
        fields.setText(field->control, value);
        expected.setText(field->control, value);
        break;
      }
      case FileForm::Number:
        // Leading zeros and hexadecimal come back in plain decimal.
        fields.setText(field->control, n % 2 ? "007" : "$1F");
        expected.setText(field->control, n % 2 ? "7" : "31");
        break;
      case FileForm::Index: {
        const int count = static_cast<int>(field->choices.size());
        const int value = (std::stoi(field->start) + 1) % count;
        fields.setIndex(field->control, value);
        expected.setIndex(field->control, value);
        break;
      }
      case FileForm::Flag:
        // No selection is saved as "1" and comes back as the second item.
        fields.setIndex(field->control, -1);
        expected.setIndex(field->control, 1);
        break;
    }
  }
  // The encoding rule follows the loaded encoding.
  const int encoding = fields.index("Position_report_encoding");
  expected.setEnabled("Mice_message", encoding == 0);
  expected.setEnabled("Position_time", encoding != 0);

  TempDir dir;
  ASSERT_TRUE(saveConfiguration(fields, dir / "all.cfg"));
  FieldStore loaded = FieldStore::withStartValues();
  RecordingInterface ui;
  ASSERT_EQ(loadConfiguration(dir / "all.cfg", loaded, ui), LoadResult::Loaded);
  EXPECT_TRUE(ui.boxes.empty());
  for (const FieldDecl* field : allFields()) {
    if (field->isCombo()) {
      EXPECT_EQ(loaded.index(field->control), expected.index(field->control)) << field->control;
    } else {
      EXPECT_EQ(loaded.text(field->control), expected.text(field->control)) << field->control;
    }
  }
  EXPECT_EQ(loaded.enabled("Mice_message"), encoding == 0);
  EXPECT_EQ(loaded.enabled("Position_time"), encoding != 0);
}

std::string withoutSection(const std::string& text, const std::string& section) {
  const std::size_t begin = text.find("[" + section + "]\r\n");
  EXPECT_NE(begin, std::string::npos) << section;
  std::size_t end = text.find("\r\n[", begin + 1);
  end = end == std::string::npos ? text.size() : end + 2;
  return text.substr(0, begin) + text.substr(end);
}

TEST(AllKeys, MissingSectionsGiveTheMissingValuesOfTheirKeys) {
  TempDir dir;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "full.cfg"));
  std::string text = readFile(dir / "full.cfg");
  for (const char* section : {"Telemetry", "Debug", "Testtone", "WXTideMarker"}) text = withoutSection(text, section);
  writeFile(dir / "part.cfg", text);

  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Teleanalog3_name", "X");
  fields.setIndex("Debug_gps", 0);
  fields.setIndex("Testtone_pattern", 0);
  RecordingInterface ui;
  ASSERT_EQ(loadConfiguration(dir / "part.cfg", fields, ui), LoadResult::Loaded);
  // Missing values, which differ from the start values in places.
  EXPECT_EQ(fields.text("Teleanalog1_name"), "A1");  // "Vin" at start
  EXPECT_EQ(fields.text("Teleanalog1_units"), "None");
  EXPECT_EQ(fields.index("Teleanalog1_source"), 0);
  EXPECT_EQ(fields.text("Teleanalog3_name"), "A3");
  EXPECT_EQ(fields.text("Teledigital7_name"), "B7");
  EXPECT_EQ(fields.text("Teledigital7_units"), "Non");
  EXPECT_EQ(fields.text("Teledigital5_units"), "None");
  EXPECT_EQ(fields.index("Teledigital7_source"), 0);
  EXPECT_EQ(fields.text("Teletitle"), "Telemetry test");
  EXPECT_EQ(fields.index("Telemodule_enable"), 0);
  EXPECT_EQ(fields.index("Debug_gps"), 1);
  EXPECT_EQ(fields.index("Debug_thermo"), 1);
  EXPECT_EQ(fields.index("Testtone_enable"), 0);
  EXPECT_EQ(fields.index("Testtone_pattern"), 3);
  EXPECT_EQ(fields.index("Testtone_bypasspa"), 0);
  EXPECT_EQ(fields.index("Wxtidemarker_samples_avg"), 5);  // item 4 at start
  EXPECT_EQ(fields.text("Wxtidemarker_alarmbeacon_comment"), ">WXTideMarker ALARM L=<depth>cm");
  EXPECT_EQ(fields.text("Callsign"), "NOCALL");  // sections present load as written
}

TEST(AllKeys, ConflictingPortsInAFileAreResolvedByThePortRulesAfterTheLoad) {
  TempDir dir;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "a.cfg"));
  std::string text = readFile(dir / "a.cfg");
  text.replace(text.find("Serial1=3"), 9, "Serial1=2");
  text.replace(text.find("Serial2=2"), 9, "Serial2=1");
  writeFile(dir / "a.cfg", text);
  FieldStore fields = FieldStore::withStartValues();
  RecordingInterface ui;
  ASSERT_EQ(loadConfiguration(dir / "a.cfg", fields, ui), LoadResult::Loaded);
  // Both ports on the serial console is not allowed: the rules change one of
  // them and say so.
  EXPECT_FALSE(fields.index("Serial1_mode") == 2 && fields.index("Serial2_mode") == 1);
  ASSERT_FALSE(ui.boxes.empty());
}

TEST(AllKeys, EncodingRuleFollowsTheLoadedEncoding) {
  TempDir dir;
  FieldStore plain = FieldStore::withStartValues();
  plain.setIndex("Position_report_encoding", 1);
  ASSERT_TRUE(saveConfiguration(plain, dir / "plain.cfg"));
  FieldStore fields = FieldStore::withStartValues();
  ASSERT_TRUE(fields.enabled("Mice_message"));
  RecordingInterface ui;
  ASSERT_EQ(loadConfiguration(dir / "plain.cfg", fields, ui), LoadResult::Loaded);
  EXPECT_FALSE(fields.enabled("Mice_message"));
  EXPECT_TRUE(fields.enabled("Position_time"));
}

}  // namespace
}  // namespace trekmor
