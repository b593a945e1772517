#include "image/image.h"

#include <algorithm>
#include <cstring>

namespace trekmor {

namespace {
// The device's version text as the mismatch message shows it: offsets 6..12.
constexpr std::size_t kShownVersionLength = 7;
}  // namespace

int StampGenerator::next() {
  m_state = m_state * 22695477u + 1u;
  return static_cast<int>((m_state >> 16) & 0x7FFFu);
}

std::uint32_t imageSum(const Image& image) {
  std::uint32_t sum = 0;
  for (std::size_t i = kStampOffset; i < kDataEnd; ++i) sum += image[i];
  return sum;
}

void beginImage(Image& image) {
  image.fill(0);
  std::copy(kConfigVersionText.begin(), kConfigVersionText.end(), image.begin() + kVersionOffset);
}

void finishImage(Image& image, std::uint32_t seed) {
  StampGenerator generator(seed);
  putLE(image, kStampOffset, static_cast<std::uint32_t>(generator.next() % 10000), 2);
  std::copy(kEndMarker.begin(), kEndMarker.end(), image.begin() + kEndMarkerOffset);
  putLE(image, kChecksumOffset, 0, 4);
  putLE(image, kChecksumOffset, imageSum(image), 4);
}

bool checkImageIntegrity(const Image& image) {
  return imageSum(image) == getLE(image, kChecksumOffset, 4) &&
         std::equal(kEndMarker.begin(), kEndMarker.end(), image.begin() + kEndMarkerOffset);
}

std::string configVersionMismatchMessage(const Image& image) {
  if (std::equal(kConfigVersionText.begin(), kConfigVersionText.end(), image.begin() + kVersionOffset)) {
    return {};
  }
  const std::string device = textAt(image, kVersionOffset, kShownVersionLength);
  std::string message = "Uncompatible configuration version:";
  message += "\nDevice: " + device;
  message += "\nConfigurator: " + std::string(kConfigVersionText);
  message += "\n\nYou need to use Configurator " + device;
  message += " or write new configuration using \"Write config\" button.";
  return message;
}

}  // namespace trekmor
