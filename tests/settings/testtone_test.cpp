#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes testToneBytes(const Image& image) { return {image.begin() + 1502, image.begin() + 1505}; }

TEST(TestTonePack, FreshStartAndChosenItems) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(testToneBytes(image), (Bytes{0x00, 0x03, 0x00}));
  // The end marker follows directly.
  EXPECT_EQ(Bytes(image.begin() + 1505, image.begin() + 1508), (Bytes{'E', 'N', 'D'}));

  fields.setIndex("Testtone_enable", 1);
  fields.setIndex("Testtone_pattern", 2);
  fields.setIndex("Testtone_bypasspa", -1);
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  EXPECT_EQ(testToneBytes(image), (Bytes{0x01, 0x02, 0xFF}));
}

TEST(TestToneUnpack, SetsTheThreeChoices) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  image[1502] = 1;
  image[1503] = 0;
  image[1504] = 4;  // beyond the list
  image[0] = 0;     // the unpack does not look at the checksum
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.index("Testtone_enable"), 1);
  EXPECT_EQ(fields.index("Testtone_pattern"), 0);
  EXPECT_EQ(fields.index("Testtone_bypasspa"), -1);
}

TEST(TestToneFile, KeysAreTheControlNamesInTheirOrder) {
  const Group& group = testToneGroup();
  const std::vector<std::string> order = testing::fileControls(group);
  ASSERT_EQ(order, (std::vector<std::string>{"Testtone_enable", "Testtone_pattern", "Testtone_bypasspa"}));
  const char* missing[] = {"0", "3", "0"};
  for (std::size_t i = 0; i < 3; ++i) {
    const FieldDecl* field = testing::fieldOf(group, order[i]);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->section, "Testtone");
    EXPECT_EQ(field->key, field->control);
    EXPECT_EQ(field->form, FileForm::Index);
    EXPECT_EQ(field->missing, missing[i]);
  }
  // The port rules close every unpack and load; this group must not run
  // anything after them.
  for (const Group* later : {&group, &waterLevelGroup()}) {
    for (const RuleDecl& rule : later->rules) EXPECT_FALSE(rule.atLoadEnd || rule.atUnpackEnd) << later->name;
  }
}

}  // namespace
}  // namespace trekmor
