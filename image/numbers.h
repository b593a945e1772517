// The integer conversion every numeric edit box goes through, on pack and on
// save alike, the configuration file's own whole-number rule, and the tool's
// hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trekmor {

// Leading blanks, an optional sign, then decimal digits or hexadecimal digits
// after "$", "x", "X" or "0x". Anything else, an empty text or a value outside
// the signed 32-bit range gives no value.
std::optional<std::int32_t> parseInteger(std::string_view text);

// The narrower whole-number rule of a configuration file's values: decimal
// digits with an optional sign, or hexadecimal digits after "0x" or "$"; no
// blanks (the file reader trims them) and the same signed 32-bit range.
std::optional<std::int32_t> parseFileInteger(std::string_view text);

// The value of a hexadecimal digit of either case, or -1 for any other character.
int hexDigitValue(char c);

// Each byte as two upper-case hexadecimal digits, in order.
std::string hexText(std::span<const std::uint8_t> bytes);

// "'%s' is not a valid integer value" with the text in place of %s.
std::string conversionErrorText(std::string_view text);

}  // namespace trekmor
