// Letter case of ASCII only: file names' extensions, the .cfg format's
// section and key names and the command line's setting names compare
// without regard to the case of A to Z, while bytes above 0x7F match exactly,
// whatever letters they stand for in some code page.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace trekmor {

// Looked up rather than compared: names are matched byte by byte, and a
// table costs no branch per byte (nor a traced comparison when fuzzing).
inline constexpr std::array<unsigned char, 256> kAsciiLowerTable = [] {
  std::array<unsigned char, 256> table{};
  for (std::size_t c = 0; c < table.size(); ++c) {
    table[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return table;
}();

constexpr char asciiLower(char c) { return static_cast<char>(kAsciiLowerTable[static_cast<unsigned char>(c)]); }

constexpr bool asciiEqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// True when the file name `name` ends in `extension` (".bin", ".cfg"), letter case ignored.
constexpr bool hasExtension(std::string_view name, std::string_view extension) {
  return name.size() >= extension.size() && asciiEqualIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

}  // namespace trekmor
