// Shared by the fuzz targets of the .cfg reader.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace trekmor::fuzzing {

// The LF bytes of a word, counted exactly: the high bit of each byte is set
// where the byte is zero after LF is taken out (no borrow crosses bytes).
inline int lineFeedsIn(std::uint64_t word) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  const std::uint64_t x = word ^ 0x0A0A0A0A0A0A0A0Au;
  return std::popcount(~(((x & kLow7) + kLow7) | x | kLow7));
}

// Lines as a reader sees them: each ends at LF, CR LF or a lone CR, and a
// last line may have no end. LFs are counted eight bytes at a time (a
// comparison per byte, or a call per line, would each be traced by the
// fuzzer); the rare CRs through the library's byte search.
inline std::size_t lineCount(std::string_view bytes) {
  std::size_t lines = 0;
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    lines += static_cast<std::size_t>(lineFeedsIn(word));
  }
  for (at = bytes.find('\n', at); at != std::string_view::npos; at = bytes.find('\n', at + 1)) ++lines;
  for (at = bytes.find('\r'); at != std::string_view::npos; at = bytes.find('\r', at + 1)) {
    if (at + 1 == bytes.size() || bytes[at + 1] != '\n') ++lines;
  }
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') ++lines;
  return lines;
}

}  // namespace trekmor::fuzzing
