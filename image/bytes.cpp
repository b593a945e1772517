#include "image/bytes.h"

#include <algorithm>
#include <stdexcept>

namespace trekmor {

namespace {

void requireRange(std::size_t size, std::size_t offset, std::size_t width) {
  if (offset > size || width > size - offset) throw std::out_of_range("number outside the byte span");
}

}  // namespace

void putLE(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value, std::size_t width) {
  requireRange(bytes.size(), offset, width);
  for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getLE(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  requireRange(bytes.size(), offset, width);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return value;
}

std::string textAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::string out;
  const std::size_t end = std::min(bytes.size(), offset + width);
  for (std::size_t i = offset; i < end && bytes[i] != 0; ++i) out.push_back(static_cast<char>(bytes[i]));
  return out;
}

}  // namespace trekmor
