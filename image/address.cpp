#include "image/address.h"

#include "image/numbers.h"

namespace trekmor {

bool packAddress(std::string_view name, std::string_view ssid, Image& image, std::size_t offset) {
  std::uint8_t ssidChar = '0';
  if (!name.empty()) {
    const auto value = parseInteger(ssid);
    if (!value || static_cast<std::uint32_t>(*value) > kSsidMaximum) return false;
    ssidChar = static_cast<std::uint8_t>('0' + *value);
  }
  for (std::size_t i = 0; i < kAddressNameLength; ++i) {
    std::uint8_t c = ' ';
    if (i < name.size()) {
      c = static_cast<std::uint8_t>(name[i]);
      if (c >= 'a' && c <= 'z') c = static_cast<std::uint8_t>(c - 'a' + 'A');
    }
    image.at(offset + i) = c;
  }
  image.at(offset + kAddressNameLength) = ssidChar;
  return true;
}

AddressText unpackAddress(const Image& image, std::size_t offset) {
  char name[kAddressNameLength + 1] = {};
  for (std::size_t i = 0; i < kAddressNameLength; ++i) name[i] = static_cast<char>(image.at(offset + i));
  for (std::size_t i = kAddressNameLength; i-- > 0 && name[i] == ' ';) name[i] = 0;
  AddressText out;
  out.name = std::string(name);
  const int ssid = static_cast<int>(static_cast<std::int8_t>(image.at(offset + kAddressNameLength))) - 48;
  out.ssid = std::to_string(ssid);
  return out;
}

}  // namespace trekmor
