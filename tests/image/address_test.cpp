#include <gtest/gtest.h>

#include "image/address.h"

namespace trekmor {
namespace {

std::vector<std::uint8_t> bytes(const Image& image, std::size_t offset) {
  return {image.begin() + long(offset), image.begin() + long(offset + 7)};
}

struct AddressCase {
  const char* name;
  const char* ssid;
  bool ok;
  const char* stored;  // 7 bytes when ok
};

class Addresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Addresses, PackByTheAddressRules) {
  const auto& c = GetParam();
  Image image{};
  EXPECT_EQ(packAddress(c.name, c.ssid, image, 100), c.ok) << c.name << "-" << c.ssid;
  if (c.ok) {
    const std::string stored(c.stored);
    EXPECT_EQ(bytes(image, 100), std::vector<std::uint8_t>(stored.begin(), stored.end()));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, Addresses,
                         ::testing::Values(AddressCase{"abc", "15", true, "ABC   ?"},
                                           AddressCase{"nocall", "4", true, "NOCALL4"},
                                           AddressCase{"wide2", "2", true, "WIDE2 2"},
                                           AddressCase{"W1a-", "0", true, "W1A-  0"},
                                           AddressCase{"", "99", true, "      0"},
                                           AddressCase{"", "", true, "      0"},
                                           AddressCase{"WIDE1", "10", true, "WIDE1 :"},
                                           AddressCase{"ab", "", false, ""}, AddressCase{"ab", "16", false, ""},
                                           AddressCase{"ab", "-1", false, ""}, AddressCase{"ab", "x", false, ""},
                                           AddressCase{"ab", "$F", true, "AB    ?"}));

TEST(Addresses, UnpackTrimsTrailingBlanksAndShowsTheSsidInDecimal) {
  Image image{};
  ASSERT_TRUE(packAddress("abc", "15", image, 14));
  const AddressText text = unpackAddress(image, 14);
  EXPECT_EQ(text.name, "ABC");
  EXPECT_EQ(text.ssid, "15");
}

TEST(Addresses, UnpackKeepsInnerBlanksAndReadsTheSsidAsSignedByte) {
  Image image{};
  const std::string raw = "A B   ";
  std::copy(raw.begin(), raw.end(), image.begin());
  image[6] = 0xFF;  // -1 - 48
  const AddressText text = unpackAddress(image, 0);
  EXPECT_EQ(text.name, "A B");
  EXPECT_EQ(text.ssid, "-49");
  Image zeros{};
  EXPECT_EQ(unpackAddress(zeros, 0).name, "");
  EXPECT_EQ(unpackAddress(zeros, 0).ssid, "-48");
}

}  // namespace
}  // namespace trekmor
