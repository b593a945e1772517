#include <gtest/gtest.h>

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;

TEST(RadioPack, DefaultImageHeaderAndRadioBytes) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> expected = {
      // 6..13: "v1.12", NUL, two zero bytes
      0x76, 0x31, 0x2E, 0x31, 0x32, 0x00, 0x00, 0x00,
      // 14..20: NOCALL-0; 21..23 zero
      0x4E, 0x4F, 0x43, 0x41, 0x4C, 0x4C, 0x30, 0x00, 0x00, 0x00,
      // 24: TX delay 250, 28: TX tail 50, 32: quiet time 400 (4 bytes each)
      0xFA, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x90, 0x01, 0x00, 0x00,
      // 36: randomize index 3
      0x03,
      // 37..45: "5223.08N" and NUL
      0x35, 0x32, 0x32, 0x33, 0x2E, 0x30, 0x38, 0x4E, 0x00,
      // 46..55: "01658.14E" and NUL
      0x30, 0x31, 0x36, 0x35, 0x38, 0x2E, 0x31, 0x34, 0x45, 0x00,
      // 56 zero, 57 squelch, 58 busy detect, 59 consecutive packets
      0x00, 0x00, 0x00, 0x00,
      // 60: 144800000 Hz
      0x00, 0x79, 0xA1, 0x08,
      // 64 power, 65 power control
      0x00, 0x00};
  EXPECT_EQ(slice(image, 6, 65), expected);
  EXPECT_EQ(getLE(image, 4, 2), 346u);  // seed 1 draws 346
  EXPECT_EQ(getLE(image, 0, 4), imageSum(image));
  EXPECT_EQ(slice(image, 1505, 1507), (std::vector<std::uint8_t>{'E', 'N', 'D'}));
}

TEST(RadioPack, NonDefaultValuesLandWhereExpected) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "sq9abc");
  fields.setText("Ssid", "15");
  fields.setText("Latitude", "0000.00S");
  fields.setText("Longitude", "17959.99W");
  fields.setText("Txdelay", "$3E8");        // 1000
  fields.setText("Txtail", "0");
  fields.setText("Quiettime", "3000");
  fields.setIndex("Quiettime_randomize", 0);
  fields.setIndex("Squelch", 7);
  fields.setIndex("Busydetect", 1);
  fields.setIndex("Consecutive_packets", 1);
  fields.setText("Txrx_freq", "146000000");
  fields.setIndex("Tx_power", 2);
  fields.setIndex("Tx_power_apc", -1);
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> expected = {
      'S', 'Q', '9', 'A', 'B', 'C', 0x3F, 0, 0, 0,                  // 14..23
      0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0xB8, 0x0B, 0, 0,               // 24..35
      0x00,                                                          // 36
      '0', '0', '0', '0', '.', '0', '0', 'S', 0,                     // 37..45
      '1', '7', '9', '5', '9', '.', '9', '9', 'W', 0,                // 46..55
      0, 7, 1, 1,                                                    // 56..59
      0x80, 0xC8, 0xB3, 0x08,                                        // 60: 146000000
      2, 0xFF};                                                      // 64, 65 (no selection)
  EXPECT_EQ(slice(image, 14, 65), expected);
}

struct RadioCase {
  const char* control;
  const char* text;
  const char* message;  // "" when the pack passes
};

class RadioChecks : public ::testing::TestWithParam<RadioCase> {};

TEST_P(RadioChecks, EachBoundGivesItsMessage) {
  const auto& c = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  fields.setText(c.control, c.text);
  Image image;
  const PackResult result = packConfigImage(fields, image, 0);
  if (std::string(c.message).empty()) {
    EXPECT_TRUE(result) << c.control << "=" << c.text << ": " << result.message;
  } else {
    EXPECT_EQ(result.status, PackResult::Status::CheckFailed) << c.control << "=" << c.text;
    EXPECT_EQ(result.message, c.message);
  }
}

constexpr const char* kSsid = "Callsign - SSID range error (0 - 15).";
constexpr const char* kLat = "Our latitude - syntax error (ex. 5221.60N, format: DDMM.MM).";
constexpr const char* kLonLength = "Our longitude - syntax error (ex. 01653.63E, format DDDMM.MM).";
constexpr const char* kLonSyntax = "Our longitude - syntax error (ex. 01653.63E, format: DDDMM.MM).";
constexpr const char* kDelay = "Preamble len - range error (200 - 1000).";
constexpr const char* kTail = "TX tail - range error (0 - 1000).";
constexpr const char* kQuiet = "Quiet time - range error (200 - 3000).";
constexpr const char* kFreq = "TX/RX frequency - range error (144000000 Hz - 146000000 Hz).";

INSTANTIATE_TEST_SUITE_P(
    Table, RadioChecks,
    ::testing::Values(
        RadioCase{"Callsign", "", "Callsign - too short (ex. NOCALL-4)."},
        RadioCase{"Callsign", "NOCALLX", "Callsign - too long (max 6 characters)."},
        RadioCase{"Ssid", "", kSsid}, RadioCase{"Ssid", "16", kSsid}, RadioCase{"Ssid", "-1", kSsid},
        RadioCase{"Ssid", "a", kSsid}, RadioCase{"Ssid", "15", ""}, RadioCase{"Ssid", "0", ""},
        RadioCase{"Latitude", "5221.6N", kLat}, RadioCase{"Latitude", "5221.600N", kLat},
        RadioCase{"Latitude", "5260.00N", kLat}, RadioCase{"Latitude", "8959.99S", ""},
        RadioCase{"Longitude", "1653.63E", kLonLength}, RadioCase{"Longitude", "016530.63E", kLonLength},
        RadioCase{"Longitude", "18000.00E", kLonSyntax}, RadioCase{"Longitude", "17959.99W", ""},
        RadioCase{"Txdelay", "199", kDelay}, RadioCase{"Txdelay", "200", ""}, RadioCase{"Txdelay", "1000", ""},
        RadioCase{"Txdelay", "1001", kDelay}, RadioCase{"Txdelay", "-200", kDelay},
        RadioCase{"Txtail", "0", ""}, RadioCase{"Txtail", "1000", ""}, RadioCase{"Txtail", "1001", kTail},
        RadioCase{"Txtail", "-1", kTail}, RadioCase{"Quiettime", "199", kQuiet}, RadioCase{"Quiettime", "200", ""},
        RadioCase{"Quiettime", "3000", ""}, RadioCase{"Quiettime", "3001", kQuiet},
        RadioCase{"Txrx_freq", "143999999", kFreq}, RadioCase{"Txrx_freq", "144000000", ""},
        RadioCase{"Txrx_freq", "146000000", ""}, RadioCase{"Txrx_freq", "146000001", kFreq},
        RadioCase{"Txrx_freq", "-144800000", kFreq}));

TEST(RadioPack, ChecksRunInOrderAndTheFirstFailureWins) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Latitude", "bad");
  fields.setText("Txdelay", "1");
  fields.setText("Txrx_freq", "1");
  Image image;
  EXPECT_EQ(packConfigImage(fields, image, 0).message, kLat);
  fields.setText("Callsign", "");
  fields.setText("Ssid", "99");
  EXPECT_EQ(packConfigImage(fields, image, 0).message, "Callsign - too short (ex. NOCALL-4).");
}

TEST(RadioPack, NonNumericTextIsAConversionError) {
  for (const char* control : {"Txdelay", "Txtail", "Quiettime", "Txrx_freq"}) {
    FieldStore fields = FieldStore::withStartValues();
    fields.setText(control, "12a");
    Image image;
    const PackResult result = packConfigImage(fields, image, 0);
    EXPECT_EQ(result.status, PackResult::Status::ConversionError) << control;
    EXPECT_EQ(result.message, "'12a' is not a valid integer value");
  }
}

TEST(RadioUnpack, RoundTripShowsCanonicalTexts) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "nocall");
  fields.setText("Ssid", "4");
  fields.setText("Txdelay", "0x12C");
  fields.setText("Quiettime", "  0400");
  fields.setIndex("Tx_power", 1);
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 7));

  FieldStore read = FieldStore::withStartValues();
  read.setText("Callsign", "OTHER");
  read.setIndex("Squelch", 5);
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  EXPECT_EQ(read.text("Callsign"), "NOCALL");
  EXPECT_EQ(read.text("Ssid"), "4");
  EXPECT_EQ(read.text("Txdelay"), "300");
  EXPECT_EQ(read.text("Quiettime"), "400");
  EXPECT_EQ(read.index("Squelch"), 0);
  EXPECT_EQ(read.index("Tx_power"), 1);
  EXPECT_EQ(read.text("Latitude"), "5223.08N");
  EXPECT_EQ(read.text("Longitude"), "01658.14E");
  EXPECT_EQ(read.text("Txrx_freq"), "144800000");
}

TEST(RadioUnpack, ChoiceBeyondTheListLeavesNoSelectionAndValuesAreUnsigned) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  image[57] = 0xFF;
  image[64] = 3;
  putLE(image, 24, 0xFFFFFFFFu, 4);
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.index("Squelch"), -1);
  EXPECT_EQ(fields.index("Tx_power"), -1);
  EXPECT_EQ(fields.text("Txdelay"), "4294967295");
}

}  // namespace
}  // namespace trekmor
