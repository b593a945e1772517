// A model of the APRS Trekmor's side of the report protocol: its 5120-byte
// EEPROM, firmware version, hardware text and serial number, the firmware
// blocks it receives, and faults to inject. It parses requests with its own
// code, as the device does, so that it checks the configurator instead of
// repeating it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trekmor::sim {

using Packet = std::array<std::uint8_t, 65>;
using Eeprom = std::array<std::uint8_t, 5120>;
using Serial = std::array<std::uint8_t, 12>;

enum class FaultKind {
  WriteFail,         // the reply to the write of page N names another command; the page is not stored
  ReadBadSum,        // the reply to the read of page N carries a sum one too high
  ReadBadCommand,    // the reply to the read of page N names another command
  BlockFail,         // the reply to firmware block N names another command; the block is not stored
  NoAnswer,          // exchange N (counting from 0) and every later one get no reply
  SerialBadCommand,  // the serial-number reply names another command (N is ignored)
  Vanish,            // unplugged after N exchanges: later writes fail and the device is no longer found
  Corrupt,           // the write of page N is acknowledged, but stored with its first byte inverted
};

// N of a fault is any decimal number of up to ten digits, which needs 64
// bits (long has 32 on Windows).
struct Fault {
  FaultKind kind;
  std::int64_t n = 0;
  bool operator==(const Fault&) const = default;
};

// "write-fail@3,no-answer@200"; nothing on a malformed list (the error says why).
std::optional<std::vector<Fault>> parseFaults(std::string_view text, std::string* error = nullptr);

struct Settings {
  std::uint32_t firmwareVersion = 112;
  std::string hardware = "Trekmor HW 2.1";
  Serial serial = {0x30, 0x00, 0x24, 0x00, 0x0F, 0x51, 0x38, 0x33, 0x35, 0x36, 0xA0, 0x7F};
  bool absent = false;        // no device present
  bool denied = false;        // present, but opening it fails (missing permissions)
  std::vector<Fault> faults;
  std::string eepromFile;     // UTF-8; empty: the EEPROM lives in memory only
  std::string firmwareOut;    // UTF-8; empty: received firmware is kept in memory only
  // The longest a read waits for a reply that never comes, whatever time-out
  // the caller gives; negative: the caller's time-out (preload library only).
  long silenceLimitMs = -1;
  // How many trackers are present (TREKMOR_SIM_DEVICES, 1 to 8); fleetSettings
  // gives each its own serial number and EEPROM file.
  int devices = 1;
};

inline constexpr int kMaxSimulatedDevices = 8;

// The settings of each of `first.devices` trackers: tracker 1 is `first`;
// tracker k has the serial number of tracker 1 with k - 1 added to its last
// byte (distinct, and the same from run to run) and the EEPROM file of
// tracker 1 with ".k" appended. The faults apply to every tracker.
std::vector<Settings> fleetSettings(const Settings& first);

// The serial number as the device's USB descriptor gives it: 24 upper-case
// hexadecimal digits.
std::string serialText(const Serial& serial);

// Reads the TREKMOR_SIM_* variables through `lookup` (getenv in the preload
// library). Nothing on a malformed value, with the reason in `error`.
using Lookup = const char* (*)(const char*);
std::optional<Settings> settingsFromEnvironment(Lookup lookup, std::string* error);

class DeviceSimulator {
 public:
  // Loads the EEPROM file when one is named, creating it zero-filled when missing.
  explicit DeviceSimulator(Settings settings = {});

  // The device's answer to one request, or nothing when it does not answer.
  std::optional<Packet> handle(const Packet& request);

  // Enumerated and answering: not absent and not unplugged by a vanish fault.
  // A write to a device that is not present fails at once, as on an unplugged
  // cable; the transports ask this before handing a request over.
  bool present() const;

  // The device was opened: a firmware upload starts again at block 0.
  void opened() { m_nextBlock = 0; }

  const Settings& settings() const { return m_settings; }
  Settings& settings() { return m_settings; }
  const Eeprom& eeprom() const { return m_eeprom; }
  void setEeprom(const Eeprom& eeprom);
  // Every request received, in order.
  const std::vector<Packet>& requests() const { return m_requests; }
  void clearRequests() { m_requests.clear(); }
  // Firmware blocks received, by block number.
  const std::map<std::uint16_t, std::array<std::uint8_t, 32>>& firmwareBlocks() const { return m_blocks; }
  // The received blocks laid out by number (gaps as zeros).
  std::vector<std::uint8_t> receivedFirmware() const;
  // Writes the received firmware to Settings::firmwareOut, if named.
  void saveFirmware() const;

 private:
  bool faultAt(FaultKind kind, std::int64_t n) const;
  bool vanished() const;
  Packet writePage(const Packet& request, Packet reply);
  Packet readPage(const Packet& request, Packet reply);
  Packet writeBlock(const Packet& request, Packet reply);
  void storePage(std::size_t page);

  Settings m_settings;
  Eeprom m_eeprom{};
  std::vector<Packet> m_requests;
  std::map<std::uint16_t, std::array<std::uint8_t, 32>> m_blocks;
  std::int64_t m_exchanges = 0;
  unsigned m_nextBlock = 0;  // the only firmware block number the device takes next
};

}  // namespace trekmor::sim
