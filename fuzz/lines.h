// Shared by the fuzz targets of the .cfg reader.
#pragma once

#include <cstddef>
#include <string_view>

namespace trekmor::fuzzing {

// Lines as a reader sees them: each ends at LF, CR LF or a lone CR, and a
// last line may have no end. (Counted through the library's byte search:
// a loop over every byte would cost the fuzzer a traced comparison each.)
inline std::size_t lineCount(std::string_view bytes) {
  std::size_t lines = 0;
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) ++lines;
  for (std::size_t at = bytes.find('\r'); at != std::string_view::npos; at = bytes.find('\r', at + 1)) {
    if (at + 1 == bytes.size() || bytes[at + 1] != '\n') ++lines;
  }
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') ++lines;
  return lines;
}

}  // namespace trekmor::fuzzing
