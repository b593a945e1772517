// A file's whole content: read at once up to a size limit, and replaced at
// once so that no reader ever sees it half-written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/filename.h"

namespace trekmor {

// Puts `bytes` into `file`, which is open for writing, and says whether all
// of them went in. The atomic writer hands the new content to one of these:
// the program always to writeAllBytes, a test to one that breaks off
// part-way, as a full disk or a removed stick does.
using ByteWriter = std::function<bool(std::FILE* file, std::string_view bytes)>;

// Writes all of `bytes` through the C library's buffered output.
bool writeAllBytes(std::FILE* file, std::string_view bytes);

// Writes `bytes` into a new file beside `name` through `write`, flushes it to
// the disk and renames it over `name` in one step (on Windows too), so that
// an interrupted write never leaves a damaged file. Refuses (returning false,
// the file unchanged) a folder, a file that is not writable, or a folder that
// does not exist; a failed `write` likewise leaves the file as it was and no
// new file behind. A symbolic link is followed and its target replaced.
// `reason` (if given) gets the system's reason for a refusal.
bool writeFileAtomically(const FileName& name, std::string_view bytes,
                         const ByteWriter& write = writeAllBytes, std::string* reason = nullptr);

// Why a whole file could not be read: the system's reason ("No such file or
// directory", "Permission denied"), or that it exceeds the size limit.
struct ReadFailure {
  enum class Kind { None, System, TooLarge };
  Kind kind = Kind::None;
  std::string reason;      // System: the system's text for the error
  std::uintmax_t size = 0;  // TooLarge: the file's size
  std::size_t limit = 0;    // TooLarge: the limit it exceeds
};

// The whole content of a regular file of at most `limit` bytes; when it
// cannot be read, `failure` (if given) says why.
std::optional<std::string> readWholeFile(const FileName& name, std::size_t limit, ReadFailure* failure = nullptr);

// "NAME: REASON" or "NAME is too large to be a configuration file (N bytes; the limit is L)".
std::string readFailureText(std::string_view name, const ReadFailure& failure);

}  // namespace trekmor
