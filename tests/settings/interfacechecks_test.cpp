// Every check message of the external interfaces and the water-level module,
// reached at its bounds; test tone has no checks of its own.
#include <gtest/gtest.h>

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

enum class Outcome { Pass, Check, Conversion };

struct CheckCase {
  std::string control;
  std::string text;
  Outcome outcome;
  std::string message;  // check message, or the conversion error text
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.control << "=\"" << c.text << "\""; }

class InterfaceChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InterfaceChecks, EachBoundGivesItsMessage) {
  const CheckCase& c = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  fields.setText(c.control, c.text);
  Image image;
  const PackResult result = packConfigImage(fields, image, 0);
  switch (c.outcome) {
    case Outcome::Pass:
      EXPECT_TRUE(result) << result.message;
      break;
    case Outcome::Check:
      EXPECT_EQ(result.status, PackResult::Status::CheckFailed);
      EXPECT_EQ(result.message, c.message);
      break;
    case Outcome::Conversion:
      EXPECT_EQ(result.status, PackResult::Status::ConversionError);
      EXPECT_EQ(result.message, c.message);
      break;
  }
}

CheckCase pass(std::string control, std::string text) { return {std::move(control), std::move(text), Outcome::Pass, ""}; }
CheckCase fail(std::string control, std::string text, std::string message) {
  return {std::move(control), std::move(text), Outcome::Check, std::move(message)};
}
CheckCase notANumber(std::string control, std::string text) {
  std::string message = "'" + text + "' is not a valid integer value";
  return {std::move(control), std::move(text), Outcome::Conversion, std::move(message)};
}

std::vector<CheckCase> bluetoothCases() {
  const std::string nameLength = "Bluetooth name - wrong length. Should be at least one letter or digit.";
  const std::string nameChars = "Bluetooth name - forbidden characters. Should be letters or digits.";
  const std::string passwordLength = "Bluetooth password - wrong length. Should be exactly 4 digits (0-9).";
  const std::string passwordChars = "Bluetooth password - forbidden characters. Should be exactly 4 digits (0-9).";
  return {
      fail("Bluetooth_name", "", nameLength),
      fail("Bluetooth_name", "my tracker", nameChars),
      fail("Bluetooth_name", "my-tracker", nameChars),
      fail("Bluetooth_name", "Tr\xE9kmor", nameChars),  // an accented letter
      fail("Bluetooth_name", "\x7F", nameChars),        // what the window makes of characters beyond Latin-1
      pass("Bluetooth_name", "a"),
      pass("Bluetooth_name", "AZaz09AZaz09AZaz09AZ"),  // 20 characters
      fail("Bluetooth_name", "AZaz09AZaz09AZaz09AZa", "Bluetooth name - too long (max 20 characters)."),
      fail("Bluetooth_password", "", passwordLength),
      fail("Bluetooth_password", "123", passwordLength),
      fail("Bluetooth_password", "12345", passwordLength),
      fail("Bluetooth_password", "12a4", passwordChars),
      fail("Bluetooth_password", " 123", passwordChars),
      pass("Bluetooth_password", "0000"),
      pass("Bluetooth_password", "9999"),
  };
}

std::vector<CheckCase> moduleCases() {
  const std::string interval = "WXTideMarker measurement interval - range error (60 - 3600).";
  const std::string fullscale = "WXTideMarker fullscale coefficient value - range error (0 - 32767).";
  const std::string on = "WXTideMarker alarmbeacon ON sensor threshold value - range error (0 - 32767).";
  const std::string off = "WXTideMarker alarmbeacon OFF sensor threshold value - range error (0 - 32767).";
  return {
      // Relay times keep their low 8 bits and never refuse a number.
      pass("Wxtidemarker_relay_on_time", "300"), pass("Wxtidemarker_relay_on_time", "-1"),
      notANumber("Wxtidemarker_relay_on_time", "abc"), notANumber("Wxtidemarker_relay_on_time", ""),
      pass("Wxtidemarker_relay_off_time", "99999"), notANumber("Wxtidemarker_relay_off_time", "1.5"),
      fail("Wxtidemarker_meas_interval", "59", interval), pass("Wxtidemarker_meas_interval", "60"),
      pass("Wxtidemarker_meas_interval", "3600"), fail("Wxtidemarker_meas_interval", "3601", interval),
      pass("Wxtidemarker_meas_interval", "65596"),  // stored as 60
      fail("Wxtidemarker_meas_interval", "-1", interval), notANumber("Wxtidemarker_meas_interval", "5 min"),
      pass("Wxtidemarker_coeff_fullscale", "0"), pass("Wxtidemarker_coeff_fullscale", "32767"),
      fail("Wxtidemarker_coeff_fullscale", "32768", fullscale), fail("Wxtidemarker_coeff_fullscale", "-1", fullscale),
      pass("Wxtidemarker_coeff_fullscale", "65536"),  // stored as 0
      notANumber("Wxtidemarker_coeff_fullscale", "x"),
      // The offset keeps its low 16 bits and never refuses a number.
      pass("Wxtidemarker_coeff_offset", "-300"), pass("Wxtidemarker_coeff_offset", "-32769"),
      pass("Wxtidemarker_coeff_offset", "65535"), notANumber("Wxtidemarker_coeff_offset", "minus"),
      pass("Wxtidemarker_alarmbeacon_on_th", "0"), pass("Wxtidemarker_alarmbeacon_on_th", "32767"),
      fail("Wxtidemarker_alarmbeacon_on_th", "32768", on), fail("Wxtidemarker_alarmbeacon_on_th", "-1", on),
      notANumber("Wxtidemarker_alarmbeacon_on_th", ""),
      pass("Wxtidemarker_alarmbeacon_off_th", "0"), pass("Wxtidemarker_alarmbeacon_off_th", "32767"),
      fail("Wxtidemarker_alarmbeacon_off_th", "32768", off), fail("Wxtidemarker_alarmbeacon_off_th", "65535", off),
  };
}

// The same checks on each of the three beacon records.
std::vector<CheckCase> beaconCases(const std::string& beacon) {
  const std::string prefix = "WXTideMarker " + beacon;
  const std::string control = "Wxtidemarker_" + beacon + "_";
  std::vector<CheckCase> cases;
  for (const auto& [part, words] : {std::pair{"dest", "destination"}, {"path1", "path 1"}, {"path2", "path 2"}}) {
    const std::string ssid = prefix + " " + words + " - SSID range error (0 - 15).";
    cases.push_back(fail(control + part + "_ssid", "16", ssid));
    cases.push_back(fail(control + part + "_ssid", "-1", ssid));
    cases.push_back(fail(control + part + "_ssid", "", ssid));
    cases.push_back(fail(control + part + "_ssid", "one", ssid));
    cases.push_back(pass(control + part + "_ssid", "15"));
    cases.push_back(pass(control + part + "_ssid", "0"));
    cases.push_back(fail(control + part + "_string", "ABCDEFG", prefix + " " + words + " - too long (max 6 characters)."));
    cases.push_back(pass(control + part + "_string", "abcdef"));
  }
  const std::string rate = prefix + " tx rate range error (5 - 1440).";
  cases.push_back(fail(control + "txrate", "4", rate));
  cases.push_back(pass(control + "txrate", "5"));
  cases.push_back(pass(control + "txrate", "1440"));
  cases.push_back(fail(control + "txrate", "1441", rate));
  cases.push_back(fail(control + "txrate", "-1", rate));
  cases.push_back(notANumber(control + "txrate", "5m"));
  const std::string characters = prefix + " comment - forbidden characters.";
  cases.push_back(pass(control + "comment", " !~ printable <depth>"));
  cases.push_back(pass(control + "comment", ""));
  cases.push_back(pass(control + "comment", std::string(32, 'x')));
  cases.push_back(fail(control + "comment", std::string(33, 'x'), prefix + " comment - too long (max 32 characters)."));
  cases.push_back(fail(control + "comment", "level \x80", characters));
  cases.push_back(fail(control + "comment", "\xFF", characters));
  cases.push_back(fail(control + "comment", "tab\there", characters));
  cases.push_back(fail(control + "comment", "del\x7F", characters));
  return cases;
}

std::vector<CheckCase> allCases() {
  std::vector<CheckCase> cases = bluetoothCases();
  for (auto part : {moduleCases(), beaconCases("alarmbeacon"), beaconCases("emergencybeacon"),
                    beaconCases("inputbeacon")}) {
    cases.insert(cases.end(), part.begin(), part.end());
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, InterfaceChecks, ::testing::ValuesIn(allCases()));

TEST(InterfaceChecksOrder, GroupsAndStepsAreCheckedInPackOrder) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Wxtidemarker_inputbeacon_comment", "\x01");
  fields.setText("Wxtidemarker_emergencybeacon_txrate", "0");
  fields.setText("Wxtidemarker_meas_interval", "1");
  fields.setText("Bluetooth_password", "");
  Image image;
  EXPECT_EQ(packConfigImage(fields, image, 0).message,
            "Bluetooth password - wrong length. Should be exactly 4 digits (0-9).");
  fields.setText("Bluetooth_password", "1111");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "WXTideMarker measurement interval - range error (60 - 3600).");
  fields.setText("Wxtidemarker_meas_interval", "60");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "WXTideMarker emergencybeacon tx rate range error (5 - 1440).");
  fields.setText("Wxtidemarker_emergencybeacon_txrate", "5");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "WXTideMarker inputbeacon comment - forbidden characters.");
}

}  // namespace
}  // namespace trekmor
