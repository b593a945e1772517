// A writer for the atomic file replacement that breaks off as a full disk or
// a removed stick does: the first bytes go into the file, then it fails.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "platform/wholefile.h"

namespace trekmor::testing {

// Writes at most `failAfterBytes` bytes and fails when the content is longer.
inline ByteWriter failingWriter(std::size_t failAfterBytes) {
  return [failAfterBytes](std::FILE* file, std::string_view bytes) {
    const std::size_t count = std::min(failAfterBytes, bytes.size());
    return std::fwrite(bytes.data(), 1, count, file) == count && count == bytes.size();
  };
}

}  // namespace trekmor::testing
