#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::slice;

// Expected image bytes, written out field by field.
class Bytes {
 public:
  Bytes& raw(std::initializer_list<std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
  }
  // The text's characters, then zeros up to `width` bytes.
  Bytes& text(std::string_view s, std::size_t width) {
    EXPECT_LT(s.size(), width);
    m_bytes.insert(m_bytes.end(), s.begin(), s.end());
    m_bytes.insert(m_bytes.end(), width - s.size(), 0);
    return *this;
  }
  Bytes& zeros(std::size_t n) {
    m_bytes.insert(m_bytes.end(), n, 0);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

Image packDefaults() {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  EXPECT_TRUE(packConfigImage(fields, image, 1));
  return image;
}

TEST(TelemetryPack, DefaultReportSettings) {
  const Image image = packDefaults();
  // 1056..1080: title, its NUL and zeros, then the master switch "Disabled".
  EXPECT_EQ(slice(image, 1056, 1080), Bytes().text("Telemetry test", 24).raw({0x00}).bytes());
  const std::vector<std::uint8_t> packets = {
      // 1084: data destination APQT0A-0, 1091: WIDE1-1, 1098: WIDE2-1
      0x41, 0x50, 0x51, 0x54, 0x30, 0x41, 0x30,
      0x57, 0x49, 0x44, 0x45, 0x31, 0x20, 0x31,
      0x57, 0x49, 0x44, 0x45, 0x32, 0x20, 0x31,
      // 1105 unused, 1106: data rate 30, 1108..1109 unused
      0x00, 0x1E, 0x00, 0x00, 0x00,
      // 1110: parameters destination, 1117 and 1124 the paths
      0x41, 0x50, 0x51, 0x54, 0x30, 0x41, 0x30,
      0x57, 0x49, 0x44, 0x45, 0x31, 0x20, 0x31,
      0x57, 0x49, 0x44, 0x45, 0x32, 0x20, 0x31,
      // 1131 unused, 1132: parameters rate 30, 1134..1135 unused
      0x00, 0x1E, 0x00, 0x00, 0x00};
  EXPECT_EQ(slice(image, 1084, 1135), packets);
  // 1489..1492 outputs off, 1493 first packet delay 60 minutes.
  EXPECT_EQ(slice(image, 1489, 1493), (std::vector<std::uint8_t>{0, 0, 0, 0, 0x3C}));
}

TEST(TelemetryPack, DefaultChannelBlocks) {
  const Image image = packDefaults();
  // Analog 1: source 11 "(I) Input voltage", Vin, Volt, 0 / 0.075 / 0, average off.
  const std::vector<std::uint8_t> analog1 = {
      0x0B,
      'V', 'i', 'n', 0, 0, 0, 0, 0,
      'V', 'o', 'l', 't', 0, 0, 0, 0,
      '0', 0, 0, 0, 0, 0, 0, 0, 0,
      '0', '.', '0', '7', '5', 0, 0, 0, 0,
      '0', 0, 0, 0, 0, 0, 0, 0, 0,
      0x00};
  EXPECT_EQ(slice(image, 1136, 1180), analog1);
  for (int k = 2; k <= 5; ++k) {
    const std::size_t block = 1136 + 45 * std::size_t(k - 1);
    Bytes expected;
    expected.raw({0}).text("A" + std::to_string(k), 8).text("None", 8).text("0", 9).text("0", 9).text("0", 9).raw({0});
    EXPECT_EQ(slice(image, block, block + 44), expected.bytes()) << "analog " << k;
  }
  // Digital 1: source 1 "(M) Output 1", O1, On, not inverted.
  EXPECT_EQ(slice(image, 1361, 1376),
            (std::vector<std::uint8_t>{1, 'O', '1', 0, 0, 0, 0, 0, 'O', 'n', 0, 0, 0, 0, 0, 0}));
  const char* names[] = {"O1", "O2", "O3", "O4", "I1", "I2", "I3", "I4"};
  for (int k = 1; k <= 8; ++k) {
    const std::size_t block = 1361 + 16 * std::size_t(k - 1);
    Bytes expected;
    expected.raw({std::uint8_t(k)}).text(names[k - 1], 7).text(k <= 4 ? "On" : "Hi", 7).raw({0});
    EXPECT_EQ(slice(image, block, block + 15), expected.bytes()) << "digital " << k;
  }
}

TEST(TelemetryPack, HandComputedChannelBlocks) {
  FieldStore fields = FieldStore::withStartValues();
  // Analog 3: the longest name its 8-byte field takes, coefficients kept as typed.
  fields.setIndex("Teleanalog3_source", 14);
  fields.setText("Teleanalog3_name", "Depth12");
  fields.setText("Teleanalog3_units", "");
  fields.setText("Teleanalog3_coefa", "abc");
  fields.setText("Teleanalog3_coefb", "1e3");
  fields.setText("Teleanalog3_coefc", "-0.00001");
  fields.setIndex("Teleanalog3_average", 1);
  // Digital 8: no source selected, inverted.
  fields.setIndex("Teledigital8_source", -1);
  fields.setText("Teledigital8_name", "ABCDEF");
  fields.setText("Teledigital8_units", "lo");
  fields.setIndex("Teledigital8_inverted", 1);
  fields.setIndex("WXPins_output3", 1);
  fields.setIndex("Tele_enable", 1);
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> analog3 = {
      0x0E,                                                   // 1226
      'D', 'e', 'p', 't', 'h', '1', '2', 0,                   // 1227..1234
      0, 0, 0, 0, 0, 0, 0, 0,                                 // 1235..1242
      'a', 'b', 'c', 0, 0, 0, 0, 0, 0,                        // 1243..1251
      '1', 'e', '3', 0, 0, 0, 0, 0, 0,                        // 1252..1260
      '-', '0', '.', '0', '0', '0', '0', '1', 0,              // 1261..1269
      0x01};                                                  // 1270
  EXPECT_EQ(slice(image, 1226, 1270), analog3);
  const std::vector<std::uint8_t> digital8 = {
      0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 0, 'l', 'o', 0, 0, 0, 0, 0, 0x01};  // 1473..1488
  EXPECT_EQ(slice(image, 1473, 1488), digital8);
  EXPECT_EQ(slice(image, 1489, 1492), (std::vector<std::uint8_t>{0, 0, 1, 0}));
  EXPECT_EQ(image[1080], 1);
  // The module switches between the switch and the data destination are not ours.
  EXPECT_EQ(image[1084], 'A');
}

TEST(TelemetryPack, TitleOfTwentyThreeCharactersEndsWithItsNulAtTheFieldEnd) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Teletitle", "ABCDEFGHIJKLMNOPQRSTUVW");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(image[1078], 'W');
  EXPECT_EQ(image[1079], 0);
}

TEST(TelemetryPack, EmptyAddressNamePacksBlanksAndSsidZero) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Teleparams_path2_string", "");
  fields.setText("Teleparams_path2_ssid", "");
  fields.setText("Teledata_dest_string", "ab1");
  fields.setText("Teledata_dest_ssid", "15");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(slice(image, 1124, 1130), (std::vector<std::uint8_t>{' ', ' ', ' ', ' ', ' ', ' ', '0'}));
  EXPECT_EQ(slice(image, 1084, 1090), (std::vector<std::uint8_t>{'A', 'B', '1', ' ', ' ', ' ', '?'}));
}

// The data row is packed and checked before the parameters row, the title
// before the delay, and the telemetry group before the weather group.
TEST(TelemetryPack, ChecksRunInTheirOrder) {
  FieldStore fields = FieldStore::withStartValues();
  const auto firstMessage = [&fields] {
    Image image;
    return packConfigImage(fields, image, 0).message;
  };
  fields.setText("Weather_comment", "\t");
  fields.setText("Tele_holdoff", "251");
  EXPECT_EQ(firstMessage(),
            "First telemetry data packet delay range error (0 - 250).");
  fields.setText("Teletitle", std::string(24, 'x'));
  EXPECT_EQ(firstMessage(),
            "Telemetry project title - too long (max 23 characters).");
  fields.setText("Teleparams_txrate_rf", "1");
  EXPECT_EQ(firstMessage(),
            "Telemetry parameters tx rate (RF) range error (5 - 1440).");
  fields.setText("Teleparams_dest_ssid", "16");
  EXPECT_EQ(firstMessage(),
            "Telemetry parameters destination - SSID range error (0 - 15).");
  fields.setText("Teledata_txrate_rf", "1");
  EXPECT_EQ(firstMessage(),
            "Telemetry data tx rate (RF) range error (5 - 1440).");
  fields.setText("Teledata_path2_ssid", "16");
  EXPECT_EQ(firstMessage(),
            "Telemetry data path - SSID range error (0 - 15).");
}

TEST(TelemetryPack, NonNumericTextsAreConversionErrors) {
  for (const char* control : {"Teledata_txrate_rf", "Teleparams_txrate_rf", "Tele_holdoff", "Weather_txrate"}) {
    for (const char* text : {"", "5x", "1.5"}) {
      FieldStore fields = FieldStore::withStartValues();
      fields.setText(control, text);
      Image image;
      const PackResult result = packConfigImage(fields, image, 0);
      EXPECT_EQ(result.status, PackResult::Status::ConversionError) << control << "=" << text;
      EXPECT_EQ(result.message, "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

// ---- unpack -------------------------------------------------------------------

TEST(TelemetryUnpack, RoundTripGivesEveryFieldBack) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Teledata_dest_string", "apz");
  fields.setText("Teledata_dest_ssid", "7");
  fields.setText("Teleparams_path1_string", "");
  fields.setText("Teleparams_path1_ssid", "3");  // not looked at for an empty name: unpacks as 0
  fields.setText("Teledata_txrate_rf", "0");
  fields.setText("Teleparams_txrate_rf", "1440");
  fields.setText("Teletitle", "Station");
  fields.setIndex("Tele_enable", 1);
  fields.setText("Tele_holdoff", "0");
  fields.setIndex("Teleanalog2_source", 9);
  fields.setText("Teleanalog2_name", "T");
  fields.setText("Teleanalog2_units", "degC");
  fields.setText("Teleanalog2_coefa", "0.001");
  fields.setText("Teleanalog2_coefb", "");
  fields.setText("Teleanalog2_coefc", "-273.15");
  fields.setIndex("Teleanalog2_average", 1);
  fields.setIndex("Teleanalog5_average", -1);
  fields.setIndex("Teledigital4_source", 0);
  fields.setText("Teledigital4_name", "door");
  fields.setText("Teledigital4_units", "open");
  fields.setIndex("Teledigital4_inverted", 1);
  fields.setIndex("WXPins_output4", 1);
  fields.setIndex("WXPins_output1", -1);
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 3));

  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  FieldStore expected = fields;
  expected.setText("Teledata_dest_string", "APZ");
  expected.setText("Teleparams_path1_ssid", "0");
  for (const FieldDecl& field : telemetryGroup().fields) {
    if (field.isCombo()) {
      EXPECT_EQ(read.index(field.control), expected.index(field.control)) << field.control;
    } else {
      EXPECT_EQ(read.text(field.control), expected.text(field.control)) << field.control;
    }
  }
}

TEST(TelemetryUnpack, StoredValuesAreShownUnsignedAndNoPresetRuns) {
  Image image = packDefaults();
  image[1493] = 0xFF;
  putLE(image, 1106, 0, 2);
  putLE(image, 1132, 0xFFFF, 2);
  image[1136] = 0xFF;   // analog 1: no source
  image[1181] = 14;     // analog 2: water depth, but its texts stay as stored
  image[1361] = 9;      // beyond the digital list
  image[1376] = 1;
  FieldStore read = FieldStore::withStartValues();
  unpackGroup(telemetryGroup(), image, read, silentInterface());
  EXPECT_EQ(read.text("Tele_holdoff"), "255");
  EXPECT_EQ(read.text("Teledata_txrate_rf"), "0");
  EXPECT_EQ(read.text("Teleparams_txrate_rf"), "65535");
  EXPECT_EQ(read.index("Teleanalog1_source"), -1);
  EXPECT_EQ(read.text("Teleanalog1_name"), "Vin");
  EXPECT_EQ(read.index("Teleanalog2_source"), 14);
  EXPECT_EQ(read.text("Teleanalog2_name"), "A2");
  EXPECT_EQ(read.text("Teleanalog2_units"), "None");
  EXPECT_EQ(read.index("Teledigital1_source"), -1);
  EXPECT_EQ(read.index("Teledigital1_inverted"), 1);
}

TEST(TelemetryUnpack, TextWithoutNulStopsAtItsFieldEnd) {
  Image image = packDefaults();
  for (std::size_t i = 1153; i <= 1161; ++i) image[i] = 'x';  // coefficient A of analog 1, no NUL
  FieldStore read = FieldStore::withStartValues();
  unpackGroup(telemetryGroup(), image, read, silentInterface());
  EXPECT_EQ(read.text("Teleanalog1_coefa"), "xxxxxxxxx");
  EXPECT_EQ(read.text("Teleanalog1_coefb"), "0.075");
}

// ---- declarations --------------------------------------------------------------

// [Telemetry] in file order: parameters before data, then per analog channel
// name, units, source, the coefficients and the average, per digital channel
// name, label, source and inverted, then the outputs.
TEST(TelemetryFile, KeysInFileOrder) {
  std::vector<std::string> expected = {
      "Teleparams_dest_string", "Teleparams_dest_ssid", "Teleparams_path1_string", "Teleparams_path1_ssid",
      "Teleparams_path2_string", "Teleparams_path2_ssid", "Teleparams_txrate", "Teledata_dest_string",
      "Teledata_dest_ssid", "Teledata_path1_string", "Teledata_path1_ssid", "Teledata_path2_string",
      "Teledata_path2_ssid", "Teledata_txrate", "Teletitle", "Tele_holdoff", "Tele_enable"};
  for (int k = 1; k <= 5; ++k) {
    for (const char* part : {"name", "units", "source", "coefa", "coefb", "coefc", "average"}) {
      expected.push_back("Teleanalog" + std::to_string(k) + "_" + part);
    }
  }
  for (int k = 1; k <= 8; ++k) {
    for (const char* part : {"name", "label", "source", "inverted"}) {
      expected.push_back("Teledigital" + std::to_string(k) + "_" + part);
    }
  }
  for (int k = 1; k <= 4; ++k) expected.push_back("WXPins_output" + std::to_string(k));

  std::vector<std::string> keys;
  for (const std::string& control : testing::fileControls(telemetryGroup())) {
    const FieldDecl* field = testing::fieldOf(telemetryGroup(), control);
    ASSERT_NE(field, nullptr) << control;
    EXPECT_EQ(field->section, "Telemetry");
    keys.push_back(field->key);
  }
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(testing::fieldOf(telemetryGroup(), "Teledigital3_units")->key, "Teledigital3_label");
  EXPECT_EQ(testing::fieldOf(telemetryGroup(), "Teleparams_txrate_rf")->form, FileForm::Number);
  EXPECT_EQ(testing::fieldOf(telemetryGroup(), "Tele_holdoff")->form, FileForm::Number);
  EXPECT_EQ(testing::fieldOf(telemetryGroup(), "Teleanalog4_coefb")->form, FileForm::Text);
  EXPECT_EQ(testing::fieldOf(telemetryGroup(), "Teledigital4_source")->form, FileForm::Index);
}

// A file without the section gives each field its missing value: the
// "Not used" presets and source 0, not the start values.
TEST(TelemetryFile, MissingValuesOfAFileWithoutTheSection) {
  FieldStore fields = FieldStore::withStartValues();
  for (const std::string& control : testing::fileControls(telemetryGroup())) {
    const FieldDecl* field = testing::fieldOf(telemetryGroup(), control);
    setFieldValue(*field, fields, field->missing);
  }
  for (int k = 1; k <= 5; ++k) {
    const std::string c = "Teleanalog" + std::to_string(k) + "_";
    EXPECT_EQ(fields.text(c + "name"), "A" + std::to_string(k));
    EXPECT_EQ(fields.text(c + "units"), "None");
    EXPECT_EQ(fields.index(c + "source"), 0);
    for (const char* coefficient : {"coefa", "coefb", "coefc"}) EXPECT_EQ(fields.text(c + coefficient), "0");
    EXPECT_EQ(fields.index(c + "average"), 0);
  }
  for (int k = 1; k <= 8; ++k) {
    const std::string c = "Teledigital" + std::to_string(k) + "_";
    EXPECT_EQ(fields.text(c + "name"), "B" + std::to_string(k));
    EXPECT_EQ(fields.text(c + "units"), k <= 5 ? "None" : "Non");
    EXPECT_EQ(fields.index(c + "source"), 0);
    EXPECT_EQ(fields.index(c + "inverted"), 0);
  }
  EXPECT_EQ(fields.text("Teletitle"), "Telemetry test");
  EXPECT_EQ(fields.text("Teleparams_txrate_rf"), "30");
  EXPECT_EQ(fields.text("Tele_holdoff"), "60");
  EXPECT_EQ(fields.text("Teledata_dest_string"), "APQT0A");
  EXPECT_EQ(fields.index("Tele_enable"), 0);
  EXPECT_EQ(fields.index("WXPins_output2"), 0);
}

TEST(TelemetryDeclarations, PerChannelMaximumLengths) {
  const int analog[] = {7, 7, 6, 6, 5};
  for (int k = 1; k <= 5; ++k) {
    const std::string c = "Teleanalog" + std::to_string(k) + "_";
    EXPECT_EQ(testing::fieldOf(telemetryGroup(), c + "name")->maxLength, analog[k - 1]) << k;
    EXPECT_EQ(testing::fieldOf(telemetryGroup(), c + "units")->maxLength, analog[k - 1]) << k;
    EXPECT_EQ(testing::fieldOf(telemetryGroup(), c + "coefc")->maxLength, 8) << k;
  }
  const int digital[] = {6, 5, 4, 4, 4, 3, 3, 3};
  for (int k = 1; k <= 8; ++k) {
    const std::string c = "Teledigital" + std::to_string(k) + "_";
    EXPECT_EQ(testing::fieldOf(telemetryGroup(), c + "name")->maxLength, digital[k - 1]) << k;
    EXPECT_EQ(testing::fieldOf(telemetryGroup(), c + "units")->maxLength, digital[k - 1]) << k;
  }
}

}  // namespace
}  // namespace trekmor
