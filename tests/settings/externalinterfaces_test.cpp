#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;
using testing::ascii;
using testing::join;
using testing::packed;

TEST(ExternalInterfacesPack, DefaultBytes) {
  const Image image = packed(FieldStore::withStartValues());
  const Bytes block = join({
      {0x03, 0x02},                // 66 RS-232 port: GPS, 67 Bluetooth port: KISS
      ascii("APRSTrekmor", 10),    // 68..78 name, 79 NUL, 80..88 unused
      ascii("6093", 1),            // 89..92 password, 93 NUL
      {0x01, 0x03, 0x04, 0x00, 0x01, 0x01},  // 94 RS-485, 95 GPS 9600, 96 console 115200, 97..99 KISS
  });
  EXPECT_EQ(slice(image, 66, 99), block);
  EXPECT_EQ(image[992], 0x00);                                        // no weather station
  EXPECT_EQ(slice(image, 1081, 1083), (Bytes{0x00, 0x00, 0x00}));     // modules disabled
  EXPECT_EQ(slice(image, 1494, 1501), Bytes(8, 0x01));                // every debug switch on
}

TEST(ExternalInterfacesPack, NonDefaultBytes) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Serial1_mode", 4);
  fields.setIndex("Serial2_mode", 0);
  fields.setText("Bluetooth_name", "abcdefghijKLMNOPQR90");  // 20 characters, case kept
  fields.setText("Bluetooth_password", "0000");
  fields.setIndex("RS485_mode", 4);
  fields.setIndex("Telemodule_enable", 1);
  fields.setIndex("Pinsmodule_enable", -1);
  fields.setIndex("Tidemarker_enable", 1);
  fields.setIndex("Weather_stationtype", 10);
  fields.setIndex("Console_baudrate", 0);
  fields.setIndex("Debug_rf", 0);
  fields.setIndex("Debug_gps", 0);
  fields.setIndex("Debug_thermo", -1);
  fields.setIndex("GPS_baudrate", 4);
  fields.setIndex("Kiss_baudrate", 3);
  fields.setIndex("Kiss_direction", 0);
  fields.setIndex("Kiss_check", 0);
  const Image image = packed(fields);
  const Bytes block = join({
      {0x04, 0x00},
      ascii("abcdefghijKLMNOPQR90", 1),  // 68..87 and the NUL at 88
      ascii("0000", 1),
      {0x04, 0x04, 0x00, 0x03, 0x00, 0x00},
  });
  EXPECT_EQ(slice(image, 66, 99), block);
  EXPECT_EQ(image[992], 10);
  EXPECT_EQ(slice(image, 1081, 1083), (Bytes{0x01, 0xFF, 0x01}));
  EXPECT_EQ(slice(image, 1494, 1501), (Bytes{0x00, 0x01, 0x01, 0x01, 0x01, 0x00, 0x01, 0xFF}));
}

TEST(ExternalInterfacesPack, ShortNameLeavesTheRestOfItsFieldZero) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Bluetooth_name", "x");
  const Image image = packed(fields);
  EXPECT_EQ(slice(image, 68, 88), ascii("x", 20));
}

TEST(ExternalInterfacesPack, BluetoothChecksComeInOrder) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Bluetooth_name", "");
  fields.setText("Bluetooth_password", "x");
  Image image;
  EXPECT_EQ(packConfigImage(fields, image, 0).message,
            "Bluetooth name - wrong length. Should be at least one letter or digit.");
  fields.setText("Bluetooth_name", "has blank");
  EXPECT_EQ(packConfigImage(fields, image, 0).message,
            "Bluetooth name - forbidden characters. Should be letters or digits.");
  // Letters are tested before the length against the field.
  fields.setText("Bluetooth_name", "with-hyphen-and-more-than-20");
  EXPECT_EQ(packConfigImage(fields, image, 0).message,
            "Bluetooth name - forbidden characters. Should be letters or digits.");
  fields.setText("Bluetooth_name", "ok");
  EXPECT_EQ(packConfigImage(fields, image, 0).message,
            "Bluetooth password - wrong length. Should be exactly 4 digits (0-9).");
}

TEST(ExternalInterfacesUnpack, RoundTripOfEveryField) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Serial1_mode", 1);
  fields.setIndex("Serial2_mode", 1);
  fields.setText("Bluetooth_name", "Z9");
  fields.setText("Bluetooth_password", "1234");
  fields.setIndex("RS485_mode", 3);
  fields.setIndex("Pinsmodule_enable", 1);
  fields.setIndex("Weather_stationtype", 7);
  fields.setIndex("Console_baudrate", 2);
  fields.setIndex("Debug_kiss", 0);
  fields.setIndex("GPS_baudrate", 0);
  fields.setIndex("Kiss_direction", 0);
  Image image = packed(fields);

  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  for (const FieldDecl& field : externalInterfacesGroup().fields) {
    if (field.isCombo()) {
      EXPECT_EQ(read.index(field.control), fields.index(field.control)) << field.control;
    } else {
      EXPECT_EQ(read.text(field.control), fields.text(field.control)) << field.control;
    }
  }
}

TEST(ExternalInterfacesUnpack, BytesOutsideTheListsLeaveNoSelection) {
  Image image = packed(FieldStore::withStartValues());
  image[94] = 0xFF;
  image[99] = 2;
  image[992] = 11;
  image[1501] = 0x80;
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  for (const char* control : {"RS485_mode", "Kiss_check", "Weather_stationtype", "Debug_thermo"}) {
    EXPECT_EQ(read.index(control), -1) << control;
  }
  // The next pack writes them as 0xFF.
  const Image again = packed(read);
  EXPECT_EQ(again[94], 0xFF);
  EXPECT_EQ(again[99], 0xFF);
  EXPECT_EQ(again[992], 0xFF);
  EXPECT_EQ(again[1501], 0xFF);
}

// Keys in file order, with the section each goes into.
TEST(ExternalInterfacesFile, KeySequenceInterleavesFourSections) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"SerialPorts", "Serial1"},         {"SerialPorts", "Serial2"},        {"SerialPorts", "Bluetooth_name"},
      {"SerialPorts", "Bluetooth_password"}, {"SerialPorts", "RS485"},      {"Telemetry", "Telemodule_enable"},
      {"Telemetry", "Pinsmodule_enable"}, {"Telemetry", "WXTideMarker_enable"}, {"Weather", "Weather_stationtype"},
      {"SerialPorts", "ConsoleBaudrate"}, {"Debug", "Debug_rf"},             {"Debug", "Debug_ax25"},
      {"Debug", "Debug_weather"},         {"Debug", "Debug_telemetry"},      {"Debug", "Debug_bluetooth"},
      {"Debug", "Debug_gps"},             {"Debug", "Debug_kiss"},           {"Debug", "Debug_thermo"},
      {"SerialPorts", "GPSBaudrate"},     {"SerialPorts", "KISSBaudrate"},   {"SerialPorts", "KISSDirection"},
      {"SerialPorts", "KISSCheck"}};
  const Group& group = externalInterfacesGroup();
  ASSERT_EQ(testing::fileControls(group).size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const FieldDecl* field = testing::fieldOf(group, testing::fileControls(group)[i]);
    ASSERT_NE(field, nullptr) << testing::fileControls(group)[i];
    EXPECT_EQ(field->section, expected[i].first) << i;
    EXPECT_EQ(field->key, expected[i].second) << i;
    EXPECT_EQ(field->form, field->isCombo() ? FileForm::Index : FileForm::Text) << field->key;
    EXPECT_EQ(field->missing, field->start) << field->key;
  }
}

TEST(ExternalInterfacesFields, StationTypeIsTheOnlyEditableList) {
  for (const FieldDecl& field : externalInterfacesGroup().fields) {
    EXPECT_EQ(field.widget == Widget::EditableCombo, field.control == "Weather_stationtype") << field.control;
  }
}

}  // namespace
}  // namespace trekmor
