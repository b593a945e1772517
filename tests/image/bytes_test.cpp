// The byte-span helpers every little-endian number and NUL-ended text of the
// tool goes through, the hexadecimal digits, and the product facts the build
// generates from one source.
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "image/bytes.h"
#include "image/numbers.h"
#include "product/product.h"

namespace trekmor {
namespace {

struct NumberPlace {
  std::size_t offset;
  std::size_t width;
  std::uint32_t value;
  std::vector<std::uint8_t> bytes;  // what lands at `offset`, lowest byte first
};

class LittleEndian : public ::testing::TestWithParam<NumberPlace> {};

TEST_P(LittleEndian, WritesLowestByteFirstAndReadsItBack) {
  const NumberPlace& c = GetParam();
  std::array<std::uint8_t, 8> bytes;
  bytes.fill(0xEE);
  putLE(bytes, c.offset, c.value, c.width);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool inside = i >= c.offset && i < c.offset + c.width;
    EXPECT_EQ(bytes[i], inside ? c.bytes[i - c.offset] : 0xEE) << "byte " << i;
  }
  const std::uint32_t mask = c.width == 4 ? 0xFFFFFFFFu : (1u << (8 * c.width)) - 1;
  EXPECT_EQ(getLE(bytes, c.offset, c.width), c.value & mask);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, LittleEndian,
    ::testing::Values(NumberPlace{0, 1, 0xAB, {0xAB}}, NumberPlace{7, 1, 0x1FF, {0xFF}},
                      NumberPlace{2, 2, 0xA052, {0x52, 0xA0}}, NumberPlace{6, 2, 0x12345, {0x45, 0x23}},
                      NumberPlace{0, 4, 0x01020304, {0x04, 0x03, 0x02, 0x01}},
                      NumberPlace{4, 4, 0xFFFFFFFE, {0xFE, 0xFF, 0xFF, 0xFF}}));

TEST(LittleEndian, ANumberPastTheEndThrowsAndWritesNothing) {
  struct Case {
    std::size_t offset, width;
  };
  for (const Case c : {Case{7, 2}, Case{5, 4}, Case{8, 1}, Case{9, 1}, Case{SIZE_MAX, 2}}) {
    std::array<std::uint8_t, 8> bytes{};
    EXPECT_THROW(putLE(bytes, c.offset, 0xFFFFFFFF, c.width), std::out_of_range) << c.offset << "+" << c.width;
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 8>{})) << c.offset << "+" << c.width;
    EXPECT_THROW(getLE(bytes, c.offset, c.width), std::out_of_range) << c.offset << "+" << c.width;
  }
}

TEST(TextAt, EndsAtTheNulTheWidthOrTheSpan) {
  const std::array<std::uint8_t, 8> bytes{'a', 'b', 'c', 0, 'd', 'e', 'f', 'g'};
  EXPECT_EQ(textAt(bytes, 0, 8), "abc");
  EXPECT_EQ(textAt(bytes, 0, 2), "ab");
  EXPECT_EQ(textAt(bytes, 4, 100), "defg");
  EXPECT_EQ(textAt(bytes, 3, 5), "");
  EXPECT_EQ(textAt(bytes, 8, 4), "");
}

TEST(HexDigits, ValueOfEveryDigitInEitherCaseAndNothingElse) {
  for (int value = 0; value < 16; ++value) {
    const char upper = "0123456789ABCDEF"[value];
    const char lower = "0123456789abcdef"[value];
    EXPECT_EQ(hexDigitValue(upper), value) << upper;
    EXPECT_EQ(hexDigitValue(lower), value) << lower;
  }
  for (char c : {'g', 'G', 'x', ' ', '/', ':', '@', '`', '\0', '\x7F'}) EXPECT_EQ(hexDigitValue(c), -1) << int(c);
}

TEST(HexDigits, TextIsTwoUpperCaseDigitsPerByte) {
  const std::array<std::uint8_t, 4> bytes{0x00, 0x0F, 0xA0, 0xFF};
  EXPECT_EQ(hexText(bytes), "000FA0FF");
  EXPECT_EQ(hexText({}), "");
}

TEST(ProductFacts, TheDerivedTextsAgreeWithTheirSource) {
  // The ids' texts spell the numbers; the configuration version text is "v"
  // and the firmware version in hundredths, with two decimals.
  EXPECT_EQ(std::uint32_t(parseFileInteger("0x" + std::string(kVendorIdText)).value_or(-1)), kVendorId);
  EXPECT_EQ(std::uint32_t(parseFileInteger("0x" + std::string(kProductIdText)).value_or(-1)), kProductId);
  EXPECT_EQ(kVendorIdText.size(), 4u);
  EXPECT_EQ(kProductIdText.size(), 4u);
  const std::string hundredths = std::to_string(kConfiguratorFirmwareVersion);
  ASSERT_GE(hundredths.size(), 3u);
  EXPECT_EQ(kConfigVersionText,
            "v" + hundredths.substr(0, hundredths.size() - 2) + "." + hundredths.substr(hundredths.size() - 2));
  EXPECT_EQ(kFirmwareMaxSize % 32, 0u);  // whole firmware blocks
}

}  // namespace
}  // namespace trekmor
