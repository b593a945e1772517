#include "image/numbers.h"

namespace trekmor {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// The digits of `text` from `i` on in `base`, with the sign already read; a
// value outside the signed 32-bit range, no digit or any other character
// gives nothing.
std::optional<std::int32_t> digitsValue(std::string_view text, std::size_t i, int base, bool negative) {
  if (i >= text.size()) return std::nullopt;
  // The magnitude may reach 2^31 for the most negative value; anything beyond
  // that is out of range whatever digits follow.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = base == 16 ? hexDigitValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> parseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
    base = 16;
    i += 2;
  }
  return digitsValue(text, i, base, negative);
}

std::optional<std::int32_t> parseFileInteger(std::string_view text) {
  // Looked at as bytes: a load asks this of every number key.
  const char first = text.empty() ? '\0' : text.front();
  if (first == '0' && text.size() >= 2 && text[1] == 'x') return digitsValue(text, 2, 16, false);
  if (first == '$') return digitsValue(text, 1, 16, false);
  const bool hasSign = first == '+' || first == '-';
  return digitsValue(text, hasSign ? 1 : 0, 10, first == '-');
}

int hexDigitValue(char c) {
  const char upper = c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
  const std::size_t at = kHexDigits.find(upper);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string hexText(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
  }
  return out;
}

std::string conversionErrorText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

}  // namespace trekmor
