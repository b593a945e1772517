// Several simulated trackers side by side, each with its own serial number
// and EEPROM.
#include "sim/simulator.h"

namespace trekmor::sim {

std::vector<Settings> fleetSettings(const Settings& first) {
  std::vector<Settings> fleet;
  for (int k = 1; k <= first.devices; ++k) {
    Settings tracker = first;
    tracker.serial.back() = static_cast<std::uint8_t>(first.serial.back() + (k - 1));
    if (k > 1 && !tracker.eepromFile.empty()) tracker.eepromFile += "." + std::to_string(k);
    fleet.push_back(std::move(tracker));
  }
  return fleet;
}

std::string serialText(const Serial& serial) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : serial) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

}  // namespace trekmor::sim
