#include <gtest/gtest.h>

#include "image/numbers.h"

namespace trekmor {
namespace {

using Parse = std::optional<std::int32_t> (*)(std::string_view);

// A text and what the conversion makes of it: the edit boxes' conversion
// unless the row names the configuration file's rule.
struct NumberCase {
  const char* text;
  std::optional<std::int32_t> value;
  Parse parse = parseInteger;
};

NumberCase FileCase(const char* text, std::optional<std::int32_t> value) { return {text, value, parseFileInteger}; }

class IntegerConversion : public ::testing::TestWithParam<NumberCase> {};

TEST_P(IntegerConversion, FollowsItsRules) {
  const auto& c = GetParam();
  EXPECT_EQ(c.parse(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerConversion,
    ::testing::Values(
        NumberCase{"0", 0}, NumberCase{"250", 250}, NumberCase{"007", 7}, NumberCase{"   42", 42},
        NumberCase{"+5", 5}, NumberCase{"-1", -1}, NumberCase{" -300", -300}, NumberCase{"$1F", 31},
        NumberCase{"x1f", 31}, NumberCase{"X1F", 31}, NumberCase{"0x1F", 31}, NumberCase{"-$10", -16},
        NumberCase{"2147483647", 2147483647}, NumberCase{"-2147483648", INT32_MIN},
        NumberCase{"$7FFFFFFF", INT32_MAX}, NumberCase{"-$80000000", INT32_MIN},
        // Errors: empty, blanks only, sign only, prefix only, trailing blank,
        // other characters, out of the signed 32-bit range.
        NumberCase{"", std::nullopt}, NumberCase{"   ", std::nullopt}, NumberCase{"-", std::nullopt},
        NumberCase{"$", std::nullopt}, NumberCase{"0x", std::nullopt}, NumberCase{"12 ", std::nullopt},
        NumberCase{"1.5", std::nullopt}, NumberCase{"abc", std::nullopt}, NumberCase{"12a", std::nullopt},
        NumberCase{"\t12", std::nullopt}, NumberCase{"2147483648", std::nullopt},
        NumberCase{"-2147483649", std::nullopt}, NumberCase{"$80000000", std::nullopt},
        NumberCase{"$FFFFFFFF", std::nullopt}, NumberCase{"99999999999999999999", std::nullopt},
        NumberCase{"--1", std::nullopt}, NumberCase{"0X1F", std::nullopt}, NumberCase{"$-1", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    FileRule, IntegerConversion,
    ::testing::Values(FileCase("0", 0), FileCase("+5", 5), FileCase("-1", -1), FileCase("0x1f", 31),
                      FileCase("$1F", 31), FileCase("-2147483648", INT32_MIN), FileCase("0x7FFFFFFF", INT32_MAX),
                      // What only an edit box takes: blanks, "x"/"X", a sign before a hexadecimal prefix.
                      FileCase(" 42", std::nullopt), FileCase("x1f", std::nullopt), FileCase("X1F", std::nullopt),
                      FileCase("-$10", std::nullopt), FileCase("+0x10", std::nullopt),
                      FileCase("0X1F", std::nullopt), FileCase("", std::nullopt), FileCase("-", std::nullopt),
                      FileCase("0x", std::nullopt), FileCase("12a", std::nullopt),
                      FileCase("2147483648", std::nullopt), FileCase("$80000000", std::nullopt)));

TEST(IntegerConversion, ErrorTextQuotesTheInput) {
  EXPECT_EQ(conversionErrorText("12a"), "'12a' is not a valid integer value");
  EXPECT_EQ(conversionErrorText(""), "'' is not a valid integer value");
}

}  // namespace
}  // namespace trekmor
