#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;
using testing::join;
using testing::packed;

Bytes ascii(std::string_view text, std::size_t zeros = 0) {
  Bytes out(text.begin(), text.end());
  out.insert(out.end(), zeros, 0);
  return out;
}

// Destination APQT0A-0, WIDE1-1, WIDE2-1, three unused bytes, rate 5.
Bytes defaultAddressesAndRate() {
  return join({ascii("APQT0A0"), ascii("WIDE1 1"), ascii("WIDE2 1"), {0, 0, 0}, {0x05, 0, 0, 0}});
}

TEST(WaterLevelPack, DefaultBytes) {
  const Image image = packed(FieldStore::withStartValues());
  const Bytes block = join({
      {0x1E, 0x0A},      // 100 relay on 30 s, 101 relay off 10 s
      {0x2C, 0x01},      // 102 interval 300 s
      {0x04, 0x00},      // 104 five samples (item 4), 105 zero
      {0xE8, 0x03},      // 106 fullscale 1000
      {0x00, 0x00},      // 108 offset 0
      {0x00, 0x00},      // 110 alarm beacon off, 111 unused
      {0xCD, 0x0C},      // 112 on threshold 3277
      {0x85, 0x0B},      // 114 off threshold 2949
      defaultAddressesAndRate(),                        // 116..143
      ascii(">WXTideMarker ALARM L=<depth>cm", 2),      // 144..174, NUL at 175, 176
      {0x00},            // 177 emergency beacon off
      {0x05, 0x00},      // 178 six errors (item 5), two bytes
      defaultAddressesAndRate(),                        // 180..207
      ascii(">WXTideMarker CONNECT error", 6),          // 208..234, NUL at 235, 236..240
      {0x00},            // 241 input beacon off
      {0x01, 0x00},      // 242 level "Open", two bytes
      defaultAddressesAndRate(),                        // 244..271
      ascii(">WXTideMarker INPUT L=<depth>cm", 2),      // 272..302, NUL at 303, 304
      {0x00},            // 305 unused
  });
  ASSERT_EQ(block.size(), 206u);
  EXPECT_EQ(slice(image, 100, 305), block);
}

TEST(WaterLevelPack, NonDefaultBytes) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Wxtidemarker_relay_on_time", "300");     // low 8 bits: 0x2C
  fields.setText("Wxtidemarker_relay_off_time", "255");
  fields.setText("Wxtidemarker_meas_interval", "65596");   // low 16 bits: 60
  fields.setIndex("Wxtidemarker_samples_avg", 15);
  fields.setText("Wxtidemarker_coeff_fullscale", "32767");
  fields.setText("Wxtidemarker_coeff_offset", "-300");
  fields.setIndex("Wxtidemarker_alarmbeacon", 1);
  fields.setText("Wxtidemarker_alarmbeacon_on_th", "0");
  fields.setText("Wxtidemarker_alarmbeacon_off_th", "$7FFF");
  fields.setText("Wxtidemarker_alarmbeacon_dest_string", "sq9");
  fields.setText("Wxtidemarker_alarmbeacon_dest_ssid", "15");
  fields.setText("Wxtidemarker_alarmbeacon_path1_string", "");
  fields.setText("Wxtidemarker_alarmbeacon_path1_ssid", "99");  // not looked at for an empty name
  fields.setText("Wxtidemarker_alarmbeacon_txrate", "1440");
  fields.setText("Wxtidemarker_alarmbeacon_comment", "0123456789abcdefghijklmnopqrstuv");  // 32 characters
  fields.setIndex("Wxtidemarker_emergencybeacon", -1);
  fields.setIndex("Wxtidemarker_emergencybeacon_errors", -1);
  fields.setText("Wxtidemarker_emergencybeacon_comment", "");
  fields.setIndex("Wxtidemarker_inputbeacon", 1);
  fields.setIndex("Wxtidemarker_inputbeacon_level", 0);
  fields.setText("Wxtidemarker_inputbeacon_path2_string", "abcdef");
  fields.setText("Wxtidemarker_inputbeacon_path2_ssid", "10");
  fields.setText("Wxtidemarker_inputbeacon_txrate", "0x1F");
  const Image image = packed(fields);
  EXPECT_EQ(slice(image, 100, 115), (Bytes{0x2C, 0xFF, 0x3C, 0x00, 0x0F, 0x00, 0xFF, 0x7F, 0xD4, 0xFE, 0x01, 0x00,
                                           0x00, 0x00, 0xFF, 0x7F}));
  EXPECT_EQ(slice(image, 116, 143),
            join({ascii("SQ9   ?"), ascii("      0"), ascii("WIDE2 1"), {0, 0, 0}, {0xA0, 0x05, 0, 0}}));
  EXPECT_EQ(slice(image, 144, 176), ascii("0123456789abcdefghijklmnopqrstuv", 1));
  EXPECT_EQ(slice(image, 177, 179), (Bytes{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(slice(image, 208, 240), Bytes(33, 0));
  EXPECT_EQ(slice(image, 241, 243), (Bytes{0x01, 0x00, 0x00}));
  EXPECT_EQ(slice(image, 258, 271), join({ascii("ABCDEF:"), {0, 0, 0}, {0x1F, 0, 0, 0}}));
}

TEST(WaterLevelUnpack, ConversionsBack) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Wxtidemarker_relay_on_time", "300");
  fields.setText("Wxtidemarker_meas_interval", "65596");
  fields.setText("Wxtidemarker_coeff_offset", "-300");
  fields.setText("Wxtidemarker_coeff_fullscale", "0x10");
  fields.setText("Wxtidemarker_alarmbeacon_dest_string", "ab");
  fields.setText("Wxtidemarker_alarmbeacon_dest_ssid", "07");
  fields.setText("Wxtidemarker_inputbeacon_txrate", "  +1000");
  fields.setIndex("Wxtidemarker_samples_avg", 0);
  fields.setIndex("Wxtidemarker_inputbeacon_level", 0);
  Image image = packed(fields);

  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  EXPECT_EQ(read.text("Wxtidemarker_relay_on_time"), "44");
  EXPECT_EQ(read.text("Wxtidemarker_relay_off_time"), "10");
  EXPECT_EQ(read.text("Wxtidemarker_meas_interval"), "60");
  EXPECT_EQ(read.text("Wxtidemarker_coeff_offset"), "-300");
  EXPECT_EQ(read.text("Wxtidemarker_coeff_fullscale"), "16");
  EXPECT_EQ(read.text("Wxtidemarker_alarmbeacon_dest_string"), "AB");
  EXPECT_EQ(read.text("Wxtidemarker_alarmbeacon_dest_ssid"), "7");
  EXPECT_EQ(read.text("Wxtidemarker_inputbeacon_txrate"), "1000");
  EXPECT_EQ(read.index("Wxtidemarker_samples_avg"), 0);
  EXPECT_EQ(read.index("Wxtidemarker_inputbeacon_level"), 0);
  EXPECT_EQ(read.index("Wxtidemarker_emergencybeacon_errors"), 5);
  EXPECT_EQ(read.text("Wxtidemarker_emergencybeacon_comment"), ">WXTideMarker CONNECT error");
}

TEST(WaterLevelUnpack, RawValuesAreShownWithTheirSignedness) {
  Image image = packed(FieldStore::withStartValues());
  image[100] = 0xFF;
  putLE(image, 102, 0xFFFF, 2);
  putLE(image, 106, 0xFFFF, 2);    // signed: -1
  putLE(image, 108, 0x8000, 2);    // signed: -32768
  putLE(image, 112, 0xFFFF, 2);    // unsigned: 65535
  putLE(image, 140, 0xFFFFFFFFu, 4);
  putLE(image, 178, 0xFFFF, 2);    // no selection
  putLE(image, 242, 0x0100, 2);    // 256: beyond the list
  image[104] = 16;                 // one beyond the sixteen items
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  EXPECT_EQ(read.text("Wxtidemarker_relay_on_time"), "255");
  EXPECT_EQ(read.text("Wxtidemarker_meas_interval"), "65535");
  EXPECT_EQ(read.text("Wxtidemarker_coeff_fullscale"), "-1");
  EXPECT_EQ(read.text("Wxtidemarker_coeff_offset"), "-32768");
  EXPECT_EQ(read.text("Wxtidemarker_alarmbeacon_on_th"), "65535");
  EXPECT_EQ(read.text("Wxtidemarker_alarmbeacon_txrate"), "4294967295");
  EXPECT_EQ(read.index("Wxtidemarker_emergencybeacon_errors"), -1);
  EXPECT_EQ(read.index("Wxtidemarker_inputbeacon_level"), -1);
  EXPECT_EQ(read.index("Wxtidemarker_samples_avg"), -1);
}

TEST(WaterLevelUnpack, FullRoundTripOfEveryField) {
  FieldStore fields = FieldStore::withStartValues();
  int n = 0;
  for (const FieldDecl& field : waterLevelGroup().fields) {
    ++n;
    if (field.isCombo()) {
      fields.setIndex(field.control, n % int(field.choices.size()));
    } else if (field.control.ends_with("_ssid")) {
      fields.setText(field.control, std::to_string(n % 16));
    } else if (field.control.ends_with("_string")) {
      fields.setText(field.control, "N" + std::to_string(n));
    } else if (field.control.ends_with("_comment")) {
      fields.setText(field.control, "comment " + std::to_string(n) + " <depth>");
    } else if (field.control.ends_with("_txrate")) {
      fields.setText(field.control, std::to_string(100 + n));
    } else {
      fields.setText(field.control, std::to_string(60 + n));  // fits every number field's range
    }
  }
  Image image = packed(fields);
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  for (const FieldDecl& field : waterLevelGroup().fields) {
    if (field.isCombo()) {
      EXPECT_EQ(read.index(field.control), fields.index(field.control)) << field.control;
    } else {
      EXPECT_EQ(read.text(field.control), fields.text(field.control)) << field.control;
    }
  }
}

TEST(WaterLevelFile, KeysAreControlNamesInTextFormAndSamplesMissDifferently) {
  const Group& group = waterLevelGroup();
  std::vector<std::string> expected = {"Wxtidemarker_relay_on_time",  "Wxtidemarker_relay_off_time",
                                       "Wxtidemarker_meas_interval",  "Wxtidemarker_samples_avg",
                                       "Wxtidemarker_coeff_fullscale", "Wxtidemarker_coeff_offset",
                                       "Wxtidemarker_alarmbeacon",    "Wxtidemarker_alarmbeacon_on_th",
                                       "Wxtidemarker_alarmbeacon_off_th"};
  const auto run = [&](const std::string& beacon) {
    for (const char* suffix : {"dest_string", "dest_ssid", "path1_string", "path1_ssid", "path2_string", "path2_ssid",
                               "txrate", "comment"}) {
      expected.push_back("Wxtidemarker_" + beacon + "_" + suffix);
    }
  };
  run("alarmbeacon");
  expected.push_back("Wxtidemarker_emergencybeacon");
  expected.push_back("Wxtidemarker_emergencybeacon_errors");
  run("emergencybeacon");
  expected.push_back("Wxtidemarker_inputbeacon");
  expected.push_back("Wxtidemarker_inputbeacon_level");
  run("inputbeacon");
  ASSERT_EQ(testing::fileControls(group), expected);
  for (const std::string& control : testing::fileControls(group)) {
    const FieldDecl* field = testing::fieldOf(group, control);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->section, "WXTideMarker");
    EXPECT_EQ(field->key, control);
    EXPECT_EQ(field->form, field->isCombo() ? FileForm::Index : FileForm::Text) << control;
    if (control != "Wxtidemarker_samples_avg") {
      EXPECT_EQ(field->missing, field->start) << control;
    }
  }
  const FieldDecl* samples = testing::fieldOf(group, "Wxtidemarker_samples_avg");
  EXPECT_EQ(samples->start, "4");    // "5"
  EXPECT_EQ(samples->missing, "5");  // "6"
  EXPECT_EQ(samples->choices.front(), "1");
  EXPECT_EQ(samples->choices.back(), "16");
  EXPECT_EQ(samples->choices.size(), 16u);
}

}  // namespace
}  // namespace trekmor
