// The integer conversion every numeric edit box goes through, on pack and on
// save alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trekmor {

// Leading blanks, an optional sign, then decimal digits or hexadecimal digits
// after "$", "x", "X" or "0x". Anything else, an empty text or a value outside
// the signed 32-bit range gives no value.
std::optional<std::int32_t> parseInteger(std::string_view text);

// "'%s' is not a valid integer value" with the text in place of %s.
std::string conversionErrorText(std::string_view text);

}  // namespace trekmor
