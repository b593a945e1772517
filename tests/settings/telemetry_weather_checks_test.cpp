// Every check message of the telemetry and weather groups, reached at the
// bounds of its test, with what a passing value stores.
#include <gtest/gtest.h>

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

struct CheckCase {
  const char* control;
  std::string text;
  const char* message;  // "" when the pack passes
  std::size_t offset = 0;  // passing cases: the stored value (width 0: not looked at)
  std::size_t width = 0;
  std::uint32_t stored = 0;
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c) { return out << c.control << "=\"" << c.text << '"'; }

class TelemetryWeatherChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(TelemetryWeatherChecks, EachBoundGivesItsMessage) {
  const CheckCase& c = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  fields.setText(c.control, c.text);
  Image image;
  const PackResult result = packConfigImage(fields, image, 0);
  if (std::string(c.message).empty()) {
    ASSERT_TRUE(result) << result.message;
    if (c.width > 0) {
      EXPECT_EQ(getLE(image, c.offset, c.width), c.stored);
    }
  } else {
    EXPECT_EQ(result.status, PackResult::Status::CheckFailed);
    EXPECT_EQ(result.message, c.message);
  }
}

constexpr const char* kDataDest = "Telemetry data destination - SSID range error (0 - 15).";
constexpr const char* kDataPath = "Telemetry data path - SSID range error (0 - 15).";
constexpr const char* kDataRate = "Telemetry data tx rate (RF) range error (5 - 1440).";
constexpr const char* kParamsDest = "Telemetry parameters destination - SSID range error (0 - 15).";
constexpr const char* kParamsPath = "Telemetry parameters path - SSID range error (0 - 15).";
constexpr const char* kParamsRate = "Telemetry parameters tx rate (RF) range error (5 - 1440).";
constexpr const char* kDelay = "First telemetry data packet delay range error (0 - 250).";
constexpr const char* kWeatherDest = "Weather destination - SSID range error (0 - 15).";
constexpr const char* kWeatherPath1 = "Weather path 1 - SSID range error (0 - 15).";
constexpr const char* kWeatherPath2 = "Weather path 2 - SSID range error (0 - 15).";
constexpr const char* kWeatherRate = "Weather report tx rate range error (5 - 1440).";
constexpr const char* kComment = "Weather report comment - forbidden characters.";

INSTANTIATE_TEST_SUITE_P(
    Telemetry, TelemetryWeatherChecks,
    ::testing::Values(
        // Address SSIDs: 0..15 as unsigned, an empty or non-numeric text fails.
        CheckCase{"Teledata_dest_ssid", "16", kDataDest}, CheckCase{"Teledata_dest_ssid", "", kDataDest},
        CheckCase{"Teledata_dest_ssid", "15", "", 1090, 1, '?'},
        CheckCase{"Teledata_path1_ssid", "-1", kDataPath}, CheckCase{"Teledata_path2_ssid", "x", kDataPath},
        CheckCase{"Teledata_path2_ssid", "0", "", 1104, 1, '0'},
        CheckCase{"Teleparams_dest_ssid", "16", kParamsDest}, CheckCase{"Teleparams_path1_ssid", "99", kParamsPath},
        CheckCase{"Teleparams_path2_ssid", "16", kParamsPath},
        CheckCase{"Teleparams_path2_ssid", "$F", "", 1130, 1, '?'},
        // Rates: 0 or 5..1440, tested on the stored 16-bit value.
        CheckCase{"Teledata_txrate_rf", "0", "", 1106, 2, 0}, CheckCase{"Teledata_txrate_rf", "1", kDataRate},
        CheckCase{"Teledata_txrate_rf", "4", kDataRate}, CheckCase{"Teledata_txrate_rf", "5", "", 1106, 2, 5},
        CheckCase{"Teledata_txrate_rf", "1440", "", 1106, 2, 1440},
        CheckCase{"Teledata_txrate_rf", "1441", kDataRate}, CheckCase{"Teledata_txrate_rf", "-1", kDataRate},
        CheckCase{"Teledata_txrate_rf", "65536", "", 1106, 2, 0},
        CheckCase{"Teledata_txrate_rf", "65541", "", 1106, 2, 5},
        CheckCase{"Teledata_txrate_rf", "65540", kDataRate},
        CheckCase{"Teleparams_txrate_rf", "0", "", 1132, 2, 0}, CheckCase{"Teleparams_txrate_rf", "4", kParamsRate},
        CheckCase{"Teleparams_txrate_rf", "5", "", 1132, 2, 5},
        CheckCase{"Teleparams_txrate_rf", "1440", "", 1132, 2, 1440},
        CheckCase{"Teleparams_txrate_rf", "1441", kParamsRate},
        CheckCase{"Teleparams_txrate_rf", "65536", "", 1132, 2, 0},
        CheckCase{"Teleparams_txrate_rf", "65541", "", 1132, 2, 5},
        // The delay is tested before it is stored: 256 does not wrap to 0.
        CheckCase{"Tele_holdoff", "0", "", 1493, 1, 0}, CheckCase{"Tele_holdoff", "250", "", 1493, 1, 250},
        CheckCase{"Tele_holdoff", "251", kDelay}, CheckCase{"Tele_holdoff", "256", kDelay},
        CheckCase{"Tele_holdoff", "-1", kDelay}, CheckCase{"Tele_holdoff", "-256", kDelay},
        // Texts: no character test, but never longer than their field.
        CheckCase{"Teletitle", "tab\there \xE9", ""}, CheckCase{"Teletitle", std::string(23, 'T'), ""},
        CheckCase{"Teletitle", std::string(24, 'T'), "Telemetry project title - too long (max 23 characters)."},
        CheckCase{"Teleanalog1_coefa", "1e3", ""}, CheckCase{"Teleanalog1_coefb", "abcdefgh", ""},
        CheckCase{"Teleanalog1_coefc", "abcdefghi", "Analog channel 1 coefficient C - too long (max 8 characters)."},
        CheckCase{"Teleanalog5_name", "ABCDEFG", ""},
        CheckCase{"Teleanalog5_name", "ABCDEFGH", "Analog channel 5 name - too long (max 7 characters)."},
        CheckCase{"Teleanalog2_units", "ABCDEFGH", "Analog channel 2 units - too long (max 7 characters)."},
        CheckCase{"Teledigital8_units", "ABCDEF", ""},
        CheckCase{"Teledigital8_units", "ABCDEFG", "Digital channel 8 label - too long (max 6 characters)."},
        CheckCase{"Teledigital1_name", "ABCDEFG", "Digital channel 1 name - too long (max 6 characters)."},
        CheckCase{"Teledata_path2_string", "WIDE2XX", "Telemetry data path 2 - too long (max 6 characters)."},
        CheckCase{"Teleparams_dest_string", "APQT0AB",
                  "Telemetry parameters destination - too long (max 6 characters)."}));

INSTANTIATE_TEST_SUITE_P(
    Weather, TelemetryWeatherChecks,
    ::testing::Values(
        CheckCase{"Weather_dest_ssid", "16", kWeatherDest}, CheckCase{"Weather_dest_ssid", "", kWeatherDest},
        CheckCase{"Weather_path1_ssid", "-1", kWeatherPath1}, CheckCase{"Weather_path2_ssid", "16", kWeatherPath2},
        CheckCase{"Weather_path2_ssid", "15", "", 1013, 1, '?'},
        // 5..1440 on the stored 32-bit value: 0 and every negative entry fail.
        CheckCase{"Weather_txrate", "4", kWeatherRate}, CheckCase{"Weather_txrate", "5", "", 1016, 4, 5},
        CheckCase{"Weather_txrate", "1440", "", 1016, 4, 1440}, CheckCase{"Weather_txrate", "1441", kWeatherRate},
        CheckCase{"Weather_txrate", "0", kWeatherRate}, CheckCase{"Weather_txrate", "-1", kWeatherRate},
        CheckCase{"Weather_txrate", "65541", kWeatherRate},
        // The comment: printable ASCII only; at most what its field holds.
        CheckCase{"Weather_comment", "", "", 1022, 1, 0}, CheckCase{"Weather_comment", " ~", "", 1022, 2, 0x7E20},
        CheckCase{"Weather_comment", "a\tb", kComment}, CheckCase{"Weather_comment", "caf\xE9", kComment},
        CheckCase{"Weather_comment", "\x7F", kComment}, CheckCase{"Weather_comment", "\x1F", kComment},
        CheckCase{"Weather_comment", std::string(33, 'c'), "", 1054, 2, 0x0063},
        CheckCase{"Weather_comment", std::string(34, 'c'), "Weather report comment - too long (max 33 characters)."},
        CheckCase{"Weather_dest_string", "APQT0AB", "Weather destination - too long (max 6 characters)."}));

}  // namespace
}  // namespace trekmor
