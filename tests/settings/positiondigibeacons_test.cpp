// Image bytes 306..991 (position reports, digipeater, beacons) of the default
// configuration, every check message of the three groups at both sides of
// its bound, and their configuration-file keys.
#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include <initializer_list>

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::slice;

// Expected image bytes, written piece by piece.
struct Bytes {
  std::vector<std::uint8_t> v;
  Bytes& raw(std::initializer_list<int> bytes) {
    for (int b : bytes) v.push_back(static_cast<std::uint8_t>(b));
    return *this;
  }
  Bytes& text(std::string_view s) {
    for (char c : s) v.push_back(static_cast<std::uint8_t>(c));
    return *this;
  }
  Bytes& zeros(std::size_t n) {
    v.insert(v.end(), n, 0);
    return *this;
  }
};

TEST(DefaultImage, Bytes306To991) {
  Bytes b;
  // --- position reports
  b.raw({0x02, 0x00});        // 306 SmartBeaconing, 307 unused
  b.raw({0x3C, 0x00});        // 308 report interval 60
  b.raw({0xB4, 0x00});        // 310 interval on fix lost 180
  b.raw({0x00, 0x02});        // 312 Mic-E, 313 day/hour/min
  b.text("WIDE1 1");          // 314 path 1
  b.text("WIDE2 1");          // 321 path 2
  b.text("      0");          // 328 path 3, empty
  b.raw({0x3E, 0x2F});        // 335 '>', 336 '/'
  b.zeros(41);                // 337..377 empty status text
  b.raw({0x07});              // 378 "Off Duty"
  b.raw({0x01, 0x01, 0x01});  // 379 course/speed, 380 altitude, 381 report on fix lost
  b.raw({0x3C, 0x00});        // 382 synchronized interval 60
  b.raw({0x0F, 0x00});        // 384 send second 15
  b.raw({0x1B, 0x00});        // 386 min turn angle 27
  b.raw({0x9A, 0x01});        // 388 turn slope 410
  b.raw({0x05, 0x00});        // 390 min turn time 5
  b.raw({0x08, 0x00});        // 392 slow speed 8
  b.raw({0x08, 0x07});        // 394 slow period 1800
  b.raw({0x5F, 0x00});        // 396 fast speed 95
  b.raw({0x5A, 0x00});        // 398 fast period 90
  ASSERT_EQ(b.v.size(), 400u - 306u);
  // --- digipeater
  b.raw({0x01, 0x00, 0x00, 0x00});  // 400 on
  b.raw({0x3C, 0x00, 0x00, 0x00});  // 404 duplicate checking 60 s
  b.text("WIDE1 1").raw({0x01, 0x01});
  for (int k = 2; k <= 8; ++k) b.text("      0").raw({0x00, 0x00});
  ASSERT_EQ(b.v.size(), 480u - 306u);
  // --- beacons
  const char* messages[] = {"/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C.", ""};
  for (int k = 1; k <= 4; ++k) {
    const std::size_t start = b.v.size();
    b.text("APQT0A0").text("WIDE1 1").text("WIDE2 1").zeros(3);
    b.raw({k == 1 ? 30 : 5, 0, 0, 0});  // interval in minutes
    b.raw({k == 1 ? 2 : 0});            // "GPS fixed" / "Never"
    b.text(messages[k - 1]);
    b.zeros(128 - (b.v.size() - start));
  }
  ASSERT_EQ(b.v.size(), 992u - 306u);

  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(slice(image, 306, 991), b.v);
}

// ---- every message at both sides of its bound ----------------------------------

struct CheckCase {
  std::string control;
  std::string text;
  std::string message;  // empty: the pack passes
  std::string control2 = {};  // a second field set first, when the case needs one
  std::string text2 = {};
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c) {
  out << c.control << "=\"" << c.text << "\"";
  if (!c.control2.empty()) out << " " << c.control2 << "=\"" << c.text2 << "\"";
  return out;
}

class GroupChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(GroupChecks, EachBoundGivesItsMessage) {
  const CheckCase& c = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  if (!c.control2.empty()) fields.setText(c.control2, c.text2);
  fields.setText(c.control, c.text);
  Image image;
  const PackResult result = packConfigImage(fields, image, 0);
  if (c.message.empty()) {
    EXPECT_TRUE(result) << result.message;
  } else {
    EXPECT_EQ(result.status, PackResult::Status::CheckFailed);
    EXPECT_EQ(result.message, c.message);
  }
}

std::vector<CheckCase> positionCases() {
  const std::string interval = "Position report interval range error (15 - 3600).";
  const std::string fixlost = "Position report interval on fix lost range error (60 - 3600).";
  const std::string sync = "GPS-synchronized report interval range error (30 - 3600).";
  const std::string second = "GPS-synchronized report send second range error (must be lower than report interval).";
  const auto path = [](int k) { return "Position report path " + std::to_string(k) + " - SSID range error (0 - 15)."; };
  std::vector<CheckCase> cases = {
      {"Position_report_interval", "14", interval},
      {"Position_report_interval", "15", ""},
      {"Position_report_interval", "3600", ""},
      {"Position_report_interval", "3601", interval},
      {"Position_report_interval", "0", interval},
      {"Position_report_interval", "-1", interval},     // 65535 as stored
      {"Position_report_interval", "65551", ""},        // 65536 + 15 stores 15
      {"Position_report_interval", "65550", interval},  // stores 14
      {"Position_fixlost_interval", "59", fixlost},
      {"Position_fixlost_interval", "60", ""},
      {"Position_fixlost_interval", "3600", ""},
      {"Position_fixlost_interval", "3601", fixlost},
      {"Position_fixlost_interval", "-60", fixlost},
      {"Synchronized_report_interval", "29", sync},
      {"Synchronized_report_interval", "30", ""},
      {"Synchronized_report_interval", "3600", ""},
      {"Synchronized_report_interval", "3601", sync},
      {"Synchronized_report_interval", "65596", ""},  // stores 60
      {"Synchronized_report_second", "59", ""},       // below the interval of 60
      {"Synchronized_report_second", "60", second},
      {"Synchronized_report_second", "0", ""},
      {"Synchronized_report_second", "-1", second},  // 65535 as stored
      {"Synchronized_report_second", "65536", ""},   // stores 0
      {"Synchronized_report_second", "3599", "", "Synchronized_report_interval", "3600"},
      {"Synchronized_report_second", "3600", second, "Synchronized_report_interval", "3600"},
      {"Synchronized_report_second", "30", second, "Synchronized_report_interval", "30"},
      {"Synchronized_report_second", "29", "", "Synchronized_report_interval", "65566"},  // interval stores 30
      {"Position_ssid1", "15", ""},
      {"Position_ssid1", "16", path(1)},
      {"Position_ssid1", "-1", path(1)},
      {"Position_ssid1", "", path(1)},
      {"Position_ssid1", "x", path(1)},
      {"Position_ssid2", "0", ""},
      {"Position_ssid2", "16", path(2)},
      {"Position_ssid3", "99", ""},  // empty name: the SSID is not looked at
      {"Position_ssid3", "15", "", "Position_path3", "wide3"},
      {"Position_ssid3", "16", path(3), "Position_path3", "wide3"},
      {"Position_path1", "WIDE12", ""},
      {"Position_path1", "WIDE123", "Position report path 1 - too long (max 6 characters)."},
      {"Position_status_text", std::string(40, 's'), ""},
      {"Position_status_text", std::string(41, 's'), "Status text - too long (max 40 characters)."},
      {"Position_status_text", "\t\x7F\xE9", ""},  // no character check
  };
  // SmartBeaconing: no range checks at all.
  for (const char* control : {"Smartbeaconing_min_turn_angle", "Smartbeaconing_turn_slope",
                              "Smartbeaconing_min_turn_time", "Smartbeaconing_slow_speed",
                              "Smartbeaconing_slow_period", "Smartbeaconing_fast_speed", "Smartbeaconing_fast_period"}) {
    cases.push_back({control, "0", ""});
    cases.push_back({control, "-1", ""});
    cases.push_back({control, "2147483647", ""});
  }
  return cases;
}

std::vector<CheckCase> digipeaterCases() {
  const std::string flood = "Antiflood timeout - range error (15 - 180).";
  std::vector<CheckCase> cases = {
      {"Floodtimeout", "14", flood}, {"Floodtimeout", "15", ""},  {"Floodtimeout", "180", ""},
      {"Floodtimeout", "181", flood}, {"Floodtimeout", "-5", flood}, {"Floodtimeout", "0", flood},
  };
  for (int k = 1; k <= 8; ++k) {
    const std::string n = std::to_string(k);
    const std::string name = "Alias" + n + "_name";
    const std::string ssid = "Alias" + n + "_ssid";
    const std::string message = "Digipeater alias " + n + " - SSID range error (0 - 15).";
    cases.push_back({ssid, "15", "", name, "wide2"});
    cases.push_back({ssid, "16", message, name, "wide2"});
    cases.push_back({ssid, "-1", message, name, "wide2"});
    cases.push_back({ssid, "", message, name, "wide2"});
    cases.push_back({ssid, "x", "", name, ""});
    cases.push_back({name, "ABCDEFG", "Digipeater alias " + n + " - too long (max 6 characters).", ssid, "1"});
  }
  return cases;
}

std::vector<CheckCase> beaconCases() {
  std::vector<CheckCase> cases;
  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    const std::string b = "Beacon" + n;
    const std::string name = "Beacon " + n;
    const std::string dest = name + " destination - SSID range error (0 - 15).";
    const std::string path1 = name + " path 1 - SSID range error (0 - 15).";
    const std::string path2 = name + " path 2 - SSID range error (0 - 15).";
    const std::string rate = name + " tx rate range error (5 - 1440).";
    const std::string forbidden = name + " message - forbidden characters.";
    const std::vector<CheckCase> beacon = {
        {b + "_dest_ssid", "15", ""},
        {b + "_dest_ssid", "16", dest},
        {b + "_dest_ssid", "99", "", b + "_dest_string", ""},
        {b + "_dest_string", "APQT0AB", name + " destination - too long (max 6 characters)."},
        {b + "_path1_ssid", "0", ""},
        {b + "_path1_ssid", "16", path1},
        {b + "_path1_string", "RELAY12", name + " path 1 - too long (max 6 characters)."},
        {b + "_path2_ssid", "15", ""},
        {b + "_path2_ssid", "-1", path2},
        {b + "_path2_string", "WIDE2-2", name + " path 2 - too long (max 6 characters)."},
        {b + "_txrate", "4", rate},
        {b + "_txrate", "5", ""},
        {b + "_txrate", "1440", ""},
        {b + "_txrate", "1441", rate},
        {b + "_txrate", "0", rate},
        {b + "_txrate", "-1", rate},  // 4294967295 as stored
        {b + "_message", " !~", ""},
        {b + "_message", "a\tb", forbidden},
        {b + "_message", "\x1F", forbidden},
        {b + "_message", "\x7F", forbidden},
        {b + "_message", "caf\xE9", forbidden},
        {b + "_message", "\x80", forbidden},
        {b + "_message", "ab\r\ncd", ""},
        {b + "_message", std::string(98, 'm'), ""},
        {b + "_message", std::string(99, 'm'), name + " message - too long (max 98 characters)."},
        {b + "_message", std::string(49, 'm') + "\r\n" + std::string(49, 'm'), ""},  // 98 once the breaks are out
    };
    cases.insert(cases.end(), beacon.begin(), beacon.end());
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(PositionReports, GroupChecks, ::testing::ValuesIn(positionCases()));
INSTANTIATE_TEST_SUITE_P(Digipeater, GroupChecks, ::testing::ValuesIn(digipeaterCases()));
INSTANTIATE_TEST_SUITE_P(Beacons, GroupChecks, ::testing::ValuesIn(beaconCases()));

TEST(GroupChecks, NonNumericTextIsAConversionErrorInEveryNumberField) {
  for (const char* control :
       {"Position_report_interval", "Smartbeaconing_min_turn_angle", "Smartbeaconing_fast_period",
        "Position_fixlost_interval", "Synchronized_report_interval", "Synchronized_report_second", "Floodtimeout",
        "Beacon1_txrate", "Beacon4_txrate"}) {
    FieldStore fields = FieldStore::withStartValues();
    fields.setText(control, "");
    Image image;
    PackResult result = packConfigImage(fields, image, 0);
    EXPECT_EQ(result.status, PackResult::Status::ConversionError) << control;
    EXPECT_EQ(result.message, "'' is not a valid integer value") << control;
    fields.setText(control, "4294967311");  // beyond 32 bits
    result = packConfigImage(fields, image, 0);
    EXPECT_EQ(result.status, PackResult::Status::ConversionError) << control;
  }
}

// The checks run in pack order: each group in turn, and inside each group
// in its own order, so the first failure in that order is the one shown.
TEST(GroupChecks, TheFirstFailureInPackOrderWins) {
  struct Step {
    const char* control;
    const char* text;
    const char* message;
  };
  // Listed from the last check to the first; each one added must take over.
  const std::string longStatus(41, 'x');
  const Step steps[] = {
      {"Beacon4_message", "\t", "Beacon 4 message - forbidden characters."},
      {"Beacon4_dest_ssid", "16", "Beacon 4 destination - SSID range error (0 - 15)."},
      {"Beacon1_message", "\x01", "Beacon 1 message - forbidden characters."},
      {"Beacon1_txrate", "1", "Beacon 1 tx rate range error (5 - 1440)."},
      {"Beacon1_path2_ssid", "16", "Beacon 1 path 2 - SSID range error (0 - 15)."},
      {"Beacon1_path1_ssid", "16", "Beacon 1 path 1 - SSID range error (0 - 15)."},
      {"Beacon1_dest_ssid", "16", "Beacon 1 destination - SSID range error (0 - 15)."},
      {"Alias1_ssid", "16", "Digipeater alias 1 - SSID range error (0 - 15)."},
      {"Floodtimeout", "1", "Antiflood timeout - range error (15 - 180)."},
      {"Synchronized_report_second", "60",
       "GPS-synchronized report send second range error (must be lower than report interval)."},
      {"Synchronized_report_interval", "1", "GPS-synchronized report interval range error (30 - 3600)."},
      {"Position_fixlost_interval", "1", "Position report interval on fix lost range error (60 - 3600)."},
      {"Position_ssid3", "16", "Position report path 3 - SSID range error (0 - 15)."},
      {"Position_ssid2", "16", "Position report path 2 - SSID range error (0 - 15)."},
      {"Position_ssid1", "16", "Position report path 1 - SSID range error (0 - 15)."},
      {"Position_status_text", longStatus.c_str(), "Status text - too long (max 40 characters)."},
      {"Position_report_interval", "1", "Position report interval range error (15 - 3600)."},
  };
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Position_path3", "WIDE3");
  fields.setText("Position_ssid3", "3");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  for (const Step& step : steps) {
    fields.setText(step.control, step.text);
    EXPECT_EQ(packConfigImage(fields, image, 0).message, step.message) << step.control;
  }
}

// Every field is checked whatever mode, encoding or condition is chosen.
TEST(GroupChecks, ChoicesThatSwitchFeaturesOffDoNotSkipChecks) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Position_report_mode", 0);                // "Disabled"
  fields.setIndex("Position_reportonfixlost", 0);            // "No"
  fields.setIndex("Position_report_encoding", 1);            // "Plain text"
  fields.setIndex("Mice_message", -1);
  fields.setIndex("Digion", 0);
  fields.setIndex("Beacon4_enable", 0);  // "Never"
  Image image;
  fields.setText("Position_report_interval", "14");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "Position report interval range error (15 - 3600).");
  fields.setText("Position_report_interval", "60");
  fields.setText("Position_fixlost_interval", "3601");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "Position report interval on fix lost range error (60 - 3600).");
  fields.setText("Position_fixlost_interval", "60");
  fields.setText("Floodtimeout", "181");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "Antiflood timeout - range error (15 - 180).");
  fields.setText("Floodtimeout", "180");
  fields.setText("Beacon4_dest_ssid", "16");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "Beacon 4 destination - SSID range error (0 - 15).");
  fields.setText("Beacon4_dest_ssid", "15");
  EXPECT_TRUE(packConfigImage(fields, image, 0));
  EXPECT_EQ(image[378], 8);  // Mic-E with nothing selected: 7 - (-1)
}

// ---- configuration-file keys ------------------------------------------------------

struct KeyRow {
  std::string key;
  std::string control;
  FileForm form;
  std::string missing;
};

void expectKeys(const Group& group, const std::string& section, const std::vector<KeyRow>& rows) {
  ASSERT_EQ(testing::fileControls(group).size(), rows.size()) << section;
  ASSERT_EQ(group.fields.size(), rows.size()) << section;  // every field has its key
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const KeyRow& row = rows[i];
    EXPECT_EQ(testing::fileControls(group)[i], row.control) << section << " #" << i;
    const FieldDecl* field = testing::fieldOf(group, row.control);
    ASSERT_NE(field, nullptr) << row.control;
    EXPECT_EQ(field->section, section) << row.control;
    EXPECT_EQ(field->key, row.key) << row.control;
    EXPECT_EQ(field->form, row.form) << row.control;
    EXPECT_EQ(field->missing, row.missing) << row.control;
  }
}

TEST(FileKeys, PositionReports) {
  const FileForm I = FileForm::Index, N = FileForm::Number, T = FileForm::Text;
  expectKeys(positionReportsGroup(), "PositionReports",
             {{"ReportMode", "Position_report_mode", I, "2"},
              {"MinTurnAngle", "Smartbeaconing_min_turn_angle", N, "27"},
              {"TurnSlope", "Smartbeaconing_turn_slope", N, "410"},
              {"MinTurnTime", "Smartbeaconing_min_turn_time", N, "5"},
              {"SlowSpeed", "Smartbeaconing_slow_speed", N, "8"},
              {"SlowPeriod", "Smartbeaconing_slow_period", N, "1800"},
              {"FastSpeed", "Smartbeaconing_fast_speed", N, "95"},
              {"FastPeriod", "Smartbeaconing_fast_period", N, "90"},
              {"ReportInterval", "Position_report_interval", N, "60"},
              {"ReportEncoding", "Position_report_encoding", I, "0"},
              {"SymbolCode", "Position_symbol_code", T, ">"},
              {"SymbolTable", "Position_symbol_table", T, "/"},
              {"MiceMessage", "Mice_message", I, "0"},
              {"Path1", "Position_path1", T, "WIDE1"},
              {"SSID1", "Position_ssid1", T, "1"},
              {"Path2", "Position_path2", T, "WIDE2"},
              {"SSID2", "Position_ssid2", T, "1"},
              {"Path3", "Position_path3", T, ""},
              {"SSID3", "Position_ssid3", T, ""},
              {"Status", "Position_status_text", T, ""},
              {"PositionTime", "Position_time", I, "2"},
              {"CourseSpeed", "Position_coursespeed", I, "1"},
              {"ReportOnFixLost", "Position_reportonfixlost", I, "1"},
              {"FixlostInterval", "Position_fixlost_interval", N, "180"},
              {"PositionAltitude", "Position_altitude", I, "1"},
              {"GPSSynchronizedInterval", "Synchronized_report_interval", N, "60"},
              {"GPSSynchronizedSecond", "Synchronized_report_second", N, "15"}});
}

TEST(FileKeys, Digipeater) {
  std::vector<KeyRow> rows = {{"Digion", "Digion", FileForm::Index, "1"},
                              {"Floodtimeout", "Floodtimeout", FileForm::Number, "60"}};
  for (int k = 1; k <= 8; ++k) {
    const std::string n = std::to_string(k);
    const bool first = k == 1;
    rows.push_back({"Digi" + n + "_alias", "Alias" + n + "_name", FileForm::Text, first ? "WIDE1" : ""});
    rows.push_back({"Digi" + n + "_SSID", "Alias" + n + "_ssid", FileForm::Text, first ? "1" : ""});
    rows.push_back({"Digi" + n + "_traceable", "Alias" + n + "_traceable", FileForm::Index, first ? "1" : "0"});
    rows.push_back({"Digi" + n + "_enable", "Alias" + n + "_enable", FileForm::Flag, first ? "1" : "0"});
  }
  expectKeys(digipeaterGroup(), "Digipeater", rows);
}

TEST(FileKeys, Beacons) {
  const char* messages[] = {"/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C.", ""};
  std::vector<KeyRow> rows;
  for (int k = 1; k <= 4; ++k) {
    const std::string b = "Beacon" + std::to_string(k);
    const bool first = k == 1;
    rows.push_back({b + "_dest_string", b + "_dest_string", FileForm::Text, "APQT0A"});
    rows.push_back({b + "_dest_ssid", b + "_dest_ssid", FileForm::Text, "0"});
    rows.push_back({b + "_path1_string", b + "_path1_string", FileForm::Text, "WIDE1"});
    rows.push_back({b + "_path1_ssid", b + "_path1_ssid", FileForm::Text, "1"});
    rows.push_back({b + "_path2_string", b + "_path2_string", FileForm::Text, "WIDE2"});
    rows.push_back({b + "_path2_ssid", b + "_path2_ssid", FileForm::Text, "1"});
    rows.push_back({b + "_txrate", b + "_txrate", FileForm::Number, first ? "30" : "5"});
    rows.push_back({b + "_enable", b + "_enable", FileForm::Index, first ? "2" : "0"});
    rows.push_back({b + "_msg", b + "_message", FileForm::Text, messages[k - 1]});
  }
  expectKeys(beaconsGroup(), "Beacons", rows);
}

// The load runs the encoding rule right after ReportEncoding and nothing
// else of these groups.
TEST(FileKeys, OnlyTheEncodingRunsARuleAfterItsLoad) {
  for (const Group* group : {&positionReportsGroup(), &digipeaterGroup(), &beaconsGroup()}) {
    for (const RuleDecl& rule : group->rules) {
      EXPECT_TRUE(rule.afterLoadOf.empty() || rule.afterLoadOf == "Position_report_encoding") << rule.afterLoadOf;
    }
  }
  FieldStore fields = FieldStore::withStartValues();
  const FieldDecl* encoding = findField("Position_report_encoding");
  setFieldValue(*encoding, fields, "2");
  runRulesAfter(packOrder(), &RuleDecl::afterLoadOf, encoding->control, fields, silentInterface());
  EXPECT_FALSE(fields.enabled("Mice_message"));
  EXPECT_TRUE(fields.enabled("Position_time"));
}

}  // namespace
}  // namespace trekmor
