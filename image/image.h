// The 5120-byte configuration image that mirrors the device's configuration
// memory, with its header (checksum, stamp, version text) and end marker.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "image/bytes.h"
#include "product/product.h"

namespace trekmor {

inline constexpr std::size_t kPageSize = 32;
inline constexpr std::size_t kPageCount = kImageSize / kPageSize;
inline constexpr std::size_t kDataEnd = 1508;          // bytes 0..1507 carry data
inline constexpr std::size_t kChecksumOffset = 0;
inline constexpr std::size_t kStampOffset = 4;
inline constexpr std::size_t kVersionOffset = 6;
inline constexpr std::size_t kEndMarkerOffset = 1505;
inline constexpr std::string_view kEndMarker = "END";
static_assert(kPageCount == 160);
static_assert(kEndMarkerOffset + kEndMarker.size() == kDataEnd);

// Its numbers and texts are read and written with putLE, getLE and textAt
// (image/bytes.h); its version text is kConfigVersionText (product/product.h).
using Image = std::array<std::uint8_t, kImageSize>;

// The generator the device stamp was always drawn with: a linear congruential
// generator with multiplier 22695477 and increment 1, returning bits 16..30.
class StampGenerator {
 public:
  explicit StampGenerator(std::uint32_t seed) : m_state(seed) {}
  int next();
  std::uint32_t state() const { return m_state; }

 private:
  std::uint32_t m_state;
};

// Sum of the bytes 4..1507, wrapping at 2^32.
std::uint32_t imageSum(const Image& image);

// Clears the image and writes the version text: the start of every pack.
void beginImage(Image& image);

// Stamp (next draw of a generator seeded with `seed`, modulo 10000), the end
// marker and the checksum: the end of every successful pack.
void finishImage(Image& image, std::uint32_t seed);

// True when the checksum matches and the end marker is in place.
bool checkImageIntegrity(const Image& image);

// Empty when the image's version text starts with the configurator's own;
// otherwise the message that tells the user which configurator fits the device.
// The device's text is shown from offset 6 up to its NUL and at most up to
// offset 12, so that it never runs on into the settings.
std::string configVersionMismatchMessage(const Image& image);

}  // namespace trekmor
