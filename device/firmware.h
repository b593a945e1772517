// The firmware image the program carries for "Upload firmware". A build
// carries one only when it is given a real image file; otherwise there is none.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace trekmor {

std::optional<std::span<const std::uint8_t>> carriedFirmware();

}  // namespace trekmor
