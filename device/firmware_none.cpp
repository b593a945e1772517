// Built without a firmware image: Upload firmware reports the missing resource.
#include "device/firmware.h"

namespace trekmor {

std::optional<std::span<const std::uint8_t>> carriedFirmware() { return std::nullopt; }

}  // namespace trekmor
