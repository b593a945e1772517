#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;

TEST(WeatherPack, DefaultBytes) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> expected = {
      // 993: APQT0A-0, 1000: WIDE1-1, 1007: WIDE2-1
      0x41, 0x50, 0x51, 0x54, 0x30, 0x41, 0x30,
      0x57, 0x49, 0x44, 0x45, 0x31, 0x20, 0x31,
      0x57, 0x49, 0x44, 0x45, 0x32, 0x20, 0x31,
      // 1014..1015 unused, 1016: rate 5 (4 bytes), 1020: "GPS fixed", 1021: "GPS time/position"
      0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x02, 0x01,
      // 1022: "APRS Trekmor weather", NUL at 1042, zeros to 1055
      0x41, 0x50, 0x52, 0x53, 0x20, 0x54, 0x72, 0x65, 0x6B, 0x6D, 0x6F, 0x72, 0x20, 0x77, 0x65, 0x61, 0x74, 0x68,
      0x65, 0x72, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  ASSERT_EQ(expected.size(), 63u);
  EXPECT_EQ(slice(image, 993, 1055), expected);
}

TEST(WeatherPack, NonDefaultValues) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Weather_dest_string", "apz");
  fields.setText("Weather_dest_ssid", "12");
  fields.setText("Weather_path1_string", "");
  fields.setText("Weather_path1_ssid", "0");
  fields.setText("Weather_path2_string", "relay");
  fields.setText("Weather_path2_ssid", "0x3");
  fields.setText("Weather_txrate", "$5A0");  // 1440
  fields.setIndex("Weather_enable", -1);
  fields.setIndex("Weather_position", 0);
  fields.setText("Weather_comment", "~");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> expected = {
      'A', 'P', 'Z', ' ', ' ', ' ', '<',  // 993
      ' ', ' ', ' ', ' ', ' ', ' ', '0',  // 1000
      'R', 'E', 'L', 'A', 'Y', ' ', '3',  // 1007
      0, 0, 0xA0, 0x05, 0, 0, 0xFF, 0x00,  // 1014..1021
      '~', 0};                             // 1022..1023
  EXPECT_EQ(slice(image, 993, 1023), expected);
}

TEST(WeatherUnpack, RoundTripAndUnsignedValues) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Weather_dest_string", "wx");
  fields.setText("Weather_dest_ssid", "15");
  fields.setText("Weather_txrate", "0x10");
  fields.setIndex("Weather_enable", 0);
  fields.setIndex("Weather_position", -1);
  fields.setText("Weather_comment", "");
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 5));
  FieldStore read = FieldStore::withStartValues();
  unpackGroup(weatherGroup(), image, read, silentInterface());
  EXPECT_EQ(read.text("Weather_dest_string"), "WX");
  EXPECT_EQ(read.text("Weather_dest_ssid"), "15");
  EXPECT_EQ(read.text("Weather_path1_string"), "WIDE1");
  EXPECT_EQ(read.text("Weather_path2_ssid"), "1");
  EXPECT_EQ(read.text("Weather_txrate"), "16");
  EXPECT_EQ(read.index("Weather_enable"), 0);
  EXPECT_EQ(read.index("Weather_position"), -1);
  EXPECT_EQ(read.text("Weather_comment"), "");

  putLE(image, 1016, 0xFFFFFFFFu, 4);
  image[1020] = 3;  // beyond the list
  for (std::size_t i = 1022; i <= 1055; ++i) image[i] = 'z';  // no NUL: the text stops at the field end
  unpackGroup(weatherGroup(), image, read, silentInterface());
  EXPECT_EQ(read.text("Weather_txrate"), "4294967295");
  EXPECT_EQ(read.index("Weather_enable"), -1);
  EXPECT_EQ(read.text("Weather_comment"), std::string(34, 'z'));
}

TEST(WeatherFile, KeysInFileOrderWithTheirMissingValues) {
  struct Key {
    const char* key;
    FileForm form;
    const char* missing;
  };
  const Key expected[] = {
      {"Weather_dest_string", FileForm::Text, "APQT0A"}, {"Weather_dest_ssid", FileForm::Text, "0"},
      {"Weather_path1_string", FileForm::Text, "WIDE1"}, {"Weather_path1_ssid", FileForm::Text, "1"},
      {"Weather_path2_string", FileForm::Text, "WIDE2"}, {"Weather_path2_ssid", FileForm::Text, "1"},
      {"Weather_txrate", FileForm::Number, "5"},         {"Weather_enable", FileForm::Index, "2"},
      {"Weather_position", FileForm::Index, "1"},        {"Weather_comment", FileForm::Text, "APRS Trekmor weather"},
  };
  const Group& g = weatherGroup();
  ASSERT_EQ(testing::fileControls(g).size(), std::size(expected));
  for (std::size_t i = 0; i < testing::fileControls(g).size(); ++i) {
    const FieldDecl* field = testing::fieldOf(g, testing::fileControls(g)[i]);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->section, "Weather");
    EXPECT_EQ(field->key, expected[i].key);
    EXPECT_EQ(field->form, expected[i].form) << field->key;
    EXPECT_EQ(field->missing, expected[i].missing) << field->key;
  }
  // The station type at the end of the section belongs to the external interfaces.
  EXPECT_EQ(testing::fieldOf(g, "Weather_stationtype"), nullptr);
}

}  // namespace
}  // namespace trekmor
