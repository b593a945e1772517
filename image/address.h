// Callsigns and path elements: six upper-cased, blank-padded characters and
// the SSID as the character '0' + SSID.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "image/image.h"

namespace trekmor {

inline constexpr std::size_t kAddressWidth = 7;
inline constexpr std::size_t kAddressNameLength = 6;
// The largest SSID an address holds.
inline constexpr std::uint32_t kSsidMaximum = 15;

// False when the name is not empty and the SSID text is not a number 0..15
// (compared unsigned, so negative numbers fail). An empty name stores six
// blanks and '0' whatever the SSID says. Names longer than six characters are
// never written past the field; the caller refuses them first.
bool packAddress(std::string_view name, std::string_view ssid, Image& image, std::size_t offset);

struct AddressText {
  std::string name;
  std::string ssid;
};
AddressText unpackAddress(const Image& image, std::size_t offset);

}  // namespace trekmor
