// A firmware image named by the user, read whole and looked at before any of
// it is sent. The image format is opaque, so only what can be told for
// certain is refused: a file larger than the largest image the device takes,
// one of this tool's own configuration files or configuration images, and
// text (a firmware image holds NUL bytes and bytes that are no characters; a
// text file holds neither).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/filename.h"
#include "platform/wholefile.h"

namespace trekmor {

struct FirmwareFile {
  std::vector<std::uint8_t> bytes;
  // Kind::System when the file could not be opened or read.
  ReadFailure failure;
  // Why the bytes are no firmware image ("it is text"); empty when they may be one.
  std::string problem;

  bool usable() const { return failure.kind == ReadFailure::Kind::None && problem.empty(); }
};

FirmwareFile readFirmwareFile(const FileName& name);

// "NAME is not a firmware image: PROBLEM. Nothing was sent to the device."
std::string notFirmwareText(std::string_view name, const FirmwareFile& file);

}  // namespace trekmor
