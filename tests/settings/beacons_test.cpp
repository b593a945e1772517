#include <gtest/gtest.h>

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;

using namespace std::string_view_literals;

std::vector<std::uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

const std::string kLongMessage = std::string(48, 'x') + std::string(48, 'y');  // 96, the most a user types

FieldStore nonDefaultBeacons() {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Beacon2_dest_string", "");
  fields.setText("Beacon2_dest_ssid", "99");
  fields.setText("Beacon2_path1_string", "relay");
  fields.setText("Beacon2_path1_ssid", "3");
  fields.setText("Beacon2_path2_string", "");
  fields.setText("Beacon2_path2_ssid", "");
  fields.setText("Beacon2_txrate", "1440");
  fields.setIndex("Beacon2_enable", 3);
  fields.setText("Beacon2_message", "ab\r\ncd\n");
  fields.setText("Beacon4_dest_string", "apz");
  fields.setText("Beacon4_dest_ssid", "15");
  fields.setText("Beacon4_txrate", "$5");
  fields.setIndex("Beacon4_enable", -1);
  fields.setText("Beacon4_message", kLongMessage);
  return fields;
}

TEST(BeaconsPack, NonDefaultValuesLandWhereExpected) {
  const FieldStore fields = nonDefaultBeacons();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));

  // Beacon 2: block 608..735.
  std::vector<std::uint8_t> block2 = bytes("      0RELAY 3      0");
  block2.insert(block2.end(), {0, 0, 0});                 // 629 unused
  block2.insert(block2.end(), {0xA0, 0x05, 0x00, 0x00});  // 632 1440 minutes
  block2.push_back(3);                                    // 636 "GPS not fixed"
  const std::vector<std::uint8_t> message2 = bytes("abcd");  // line breaks left out
  block2.insert(block2.end(), message2.begin(), message2.end());
  block2.resize(128, 0);
  EXPECT_EQ(slice(image, 608, 735), block2);

  // Beacon 4: block 864..991; the 96 characters take 893..988.
  std::vector<std::uint8_t> block4 = bytes("APZ   ?WIDE1 1WIDE2 1");
  block4.insert(block4.end(), {0, 0, 0, 5, 0, 0, 0, 0xFF});
  const std::vector<std::uint8_t> message4 = bytes(kLongMessage);
  block4.insert(block4.end(), message4.begin(), message4.end());
  block4.insert(block4.end(), {0, 0, 0});
  EXPECT_EQ(slice(image, 864, 991), block4);

  // Beacons 1 and 3 keep their defaults.
  EXPECT_EQ(slice(image, 480, 508), bytes("APQT0A0WIDE1 1WIDE2 1\0\0\0\x1E\0\0\0\x02"sv));
  EXPECT_EQ(image[764], 0);
}

TEST(BeaconsPack, EmptyMessageIsAllNul) {
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Beacon1_message", "");
  Image image;
  image.fill(0x55);
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  EXPECT_EQ(slice(image, 509, 607), std::vector<std::uint8_t>(99, 0));
}

TEST(BeaconsUnpack, RoundTripGivesTheCanonicalTexts) {
  const FieldStore written = nonDefaultBeacons();
  Image image;
  ASSERT_TRUE(packConfigImage(written, image, 2));
  FieldStore read = FieldStore::withStartValues();
  for (int k = 1; k <= 4; ++k) read.setText("Beacon" + std::to_string(k) + "_message", "stale");
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));

  const std::pair<const char*, const char*> texts[] = {
      {"Beacon1_dest_string", "APQT0A"}, {"Beacon1_txrate", "30"},
      {"Beacon1_message", "/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V."},
      {"Beacon2_dest_string", ""},       {"Beacon2_dest_ssid", "0"},
      {"Beacon2_path1_string", "RELAY"}, {"Beacon2_path1_ssid", "3"},
      {"Beacon2_path2_string", ""},      {"Beacon2_path2_ssid", "0"},
      {"Beacon2_txrate", "1440"},        {"Beacon2_message", "abcd"},
      {"Beacon3_message", "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C."},
      {"Beacon4_dest_string", "APZ"},    {"Beacon4_dest_ssid", "15"},
      {"Beacon4_txrate", "5"},           {"Beacon4_message", kLongMessage.c_str()},
  };
  for (const auto& [control, text] : texts) EXPECT_EQ(read.text(control), text) << control;
  EXPECT_EQ(read.index("Beacon1_enable"), 2);
  EXPECT_EQ(read.index("Beacon2_enable"), 3);
  EXPECT_EQ(read.index("Beacon3_enable"), 0);
  EXPECT_EQ(read.index("Beacon4_enable"), -1);

  Image again;
  ASSERT_TRUE(packConfigImage(read, again, 2));
  EXPECT_EQ(slice(again, 480, 991), slice(image, 480, 991));
}

TEST(BeaconsUnpack, IntervalIsUnsignedAndAMessageStopsAtItsBlock) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  putLE(image, 632, 0xFFFFFFFEu, 4);
  image[636] = 4;  // beyond the four conditions
  // A device message that fills its whole slot without a NUL ends at the
  // block; the next block's bytes are not part of it.
  for (std::size_t i = 637; i <= 735; ++i) image[i] = 'q';
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.text("Beacon2_txrate"), "4294967294");
  EXPECT_EQ(fields.index("Beacon2_enable"), -1);
  EXPECT_EQ(fields.text("Beacon2_message"), std::string(99, 'q'));
  EXPECT_EQ(fields.text("Beacon3_dest_string"), "APQT0A");
}

}  // namespace
}  // namespace trekmor
