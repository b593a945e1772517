#include <gtest/gtest.h>

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;

FieldStore nonDefaultDigipeater() {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Digion", 0);
  fields.setText("Floodtimeout", "180");
  fields.setText("Alias1_name", "");
  fields.setText("Alias1_ssid", "x");  // not looked at behind an empty name
  fields.setIndex("Alias1_traceable", 0);
  fields.setIndex("Alias1_enable", 0);
  fields.setText("Alias4_name", "abcdef");
  fields.setText("Alias4_ssid", "15");
  fields.setIndex("Alias4_traceable", -1);
  fields.setIndex("Alias4_enable", 1);
  fields.setText("Alias8_name", "wide2");
  fields.setText("Alias8_ssid", "2");
  fields.setIndex("Alias8_traceable", 1);
  fields.setIndex("Alias8_enable", 1);
  return fields;
}

TEST(DigipeaterPack, NonDefaultValuesLandWhereExpected) {
  const FieldStore fields = nonDefaultDigipeater();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  const std::vector<std::uint8_t> expected = {
      0x00, 0x00, 0x00, 0x00,                          // 400 "No"
      0xB4, 0x00, 0x00, 0x00,                          // 404 180 s
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 408 alias 1, empty
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 417 alias 2
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 426 alias 3
      'A', 'B', 'C', 'D', 'E', 'F', '?', 0xFF, 0x01,   // 435 alias 4
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 444 alias 5
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 453 alias 6
      ' ', ' ', ' ', ' ', ' ', ' ', '0', 0x00, 0x00,   // 462 alias 7
      'W', 'I', 'D', 'E', '2', ' ', '2', 0x01, 0x01,   // 471 alias 8
  };
  EXPECT_EQ(slice(image, 400, 479), expected);
}

TEST(DigipeaterPack, DigionIsAFourByteChoice) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  fields.setIndex("Digion", -1);
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  EXPECT_EQ(getLE(image, 400, 4), 0xFFFFFFFFu);
  fields.setIndex("Digion", 1);
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  EXPECT_EQ(slice(image, 400, 403), (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST(DigipeaterUnpack, RoundTripGivesTheCanonicalTexts) {
  const FieldStore written = nonDefaultDigipeater();
  Image image;
  ASSERT_TRUE(packConfigImage(written, image, 5));
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));
  EXPECT_EQ(read.index("Digion"), 0);
  EXPECT_EQ(read.text("Floodtimeout"), "180");
  struct Row {
    int k;
    const char* name;
    const char* ssid;
    int traceable;
    int enable;
  };
  for (const Row& r : {Row{1, "", "0", 0, 0}, Row{2, "", "0", 0, 0}, Row{4, "ABCDEF", "15", -1, 1},
                       Row{7, "", "0", 0, 0}, Row{8, "WIDE2", "2", 1, 1}}) {
    const std::string n = std::to_string(r.k);
    EXPECT_EQ(read.text("Alias" + n + "_name"), r.name) << r.k;
    EXPECT_EQ(read.text("Alias" + n + "_ssid"), r.ssid) << r.k;
    EXPECT_EQ(read.index("Alias" + n + "_traceable"), r.traceable) << r.k;
    EXPECT_EQ(read.index("Alias" + n + "_enable"), r.enable) << r.k;
  }
  Image again;
  ASSERT_TRUE(packConfigImage(read, again, 5));
  EXPECT_EQ(slice(again, 400, 479), slice(image, 400, 479));
}

TEST(DigipeaterUnpack, ValuesAreReadUnsignedAndOutOfListIndexesLeaveNoSelection) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  putLE(image, 400, 2, 4);            // beyond "No", "Yes"
  putLE(image, 404, 0xFFFFFFFFu, 4);  // shown unsigned
  image[415 + 9 * 2] = 2;             // alias 3 traceable
  image[416 + 9 * 7] = 0xFF;          // alias 8 enable
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.index("Digion"), -1);
  EXPECT_EQ(fields.text("Floodtimeout"), "4294967295");
  EXPECT_EQ(fields.index("Alias3_traceable"), -1);
  EXPECT_EQ(fields.index("Alias8_enable"), -1);
  putLE(image, 400, 0xFFFFFFFFu, 4);
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.index("Digion"), -1);
}

}  // namespace
}  // namespace trekmor
