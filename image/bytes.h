// Reading and writing numbers and texts in a byte span: the configuration
// image, a device report, a page. Every little-endian number of the tool goes
// through putLE and getLE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace trekmor {

// Little-endian numbers of 1, 2 or 4 bytes at `offset`. A number that does
// not fit in the span throws std::out_of_range before any byte is written.
void putLE(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value, std::size_t width);
std::uint32_t getLE(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width);

// Text from `offset` up to the first NUL, at most `width` bytes and never past
// the end of the span.
std::string textAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width);

}  // namespace trekmor
