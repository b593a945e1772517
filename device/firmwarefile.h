// A firmware image named by the user: read whole, at most one byte more than
// the device takes, so that a longer file is still told apart and refused by
// the upload itself with its own message.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/filename.h"

namespace trekmor {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFirmwareFile(const FileName& name);

}  // namespace trekmor
