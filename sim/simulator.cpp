#include "sim/simulator.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "configfile/filename.h"

namespace trekmor::sim {

namespace {

// The simulator keeps its own copies of the protocol's numbers (byte places,
// commands, the firmware limit), of the little-endian reading and writing and
// of the hexadecimal digits, on purpose: it stands in for the device and
// checks the tool, so it shares none of the tool's code (image/, device/) and
// a fault there cannot hide behind the same fault here.

// The device's own view of a request.
constexpr std::size_t kCommand = 1;
constexpr std::size_t kNumber = 2;
constexpr std::size_t kData = 4;
constexpr std::size_t kSum = 36;
constexpr std::size_t kBytes = 32;
constexpr std::size_t kPages = 160;
// The largest firmware image the device takes, 112640 bytes, in 32-byte blocks.
constexpr unsigned kFirmwareBlocks = 3520;
constexpr std::uint8_t kSerialNumber = 0xF7;
constexpr std::uint8_t kHardwareVersion = 0xFA;
constexpr std::uint8_t kFirmwareVersion = 0xFB;
constexpr std::uint8_t kReadPage = 0xFC;
constexpr std::uint8_t kWritePage = 0xFD;
constexpr std::uint8_t kWriteBlock = 0xFE;
// What the device answers to a request it cannot take (bad sum, bad number, unknown command).
constexpr std::uint8_t kRefused = 0x00;

// The command next to the right one: a reply that names the wrong command.
std::uint8_t otherCommand(std::uint8_t command) { return command ^ 0x01; }

unsigned number16(const Packet& p, std::size_t at) { return p[at] | (p[at + 1] << 8); }

unsigned sum32(const Packet& p, std::size_t at) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < kBytes; ++i) sum += p[at + i];
  return sum;
}

struct KindName {
  std::string_view name;
  FaultKind kind;
};
constexpr KindName kKinds[] = {
    {"write-fail", FaultKind::WriteFail},     {"read-bad-sum", FaultKind::ReadBadSum},
    {"read-bad-command", FaultKind::ReadBadCommand}, {"block-fail", FaultKind::BlockFail},
    {"no-answer", FaultKind::NoAnswer},       {"serial-bad-command", FaultKind::SerialBadCommand},
    {"vanish", FaultKind::Vanish},           {"corrupt", FaultKind::Corrupt},
};

std::optional<std::uint64_t> parseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

}  // namespace

std::optional<std::vector<Fault>> parseFaults(std::string_view text, std::string* error) {
  std::vector<Fault> faults;
  if (text.empty()) return faults;
  for (bool more = true; more;) {
    const std::size_t comma = text.find(',');
    more = comma != std::string_view::npos;
    const std::string_view item = text.substr(0, comma);
    if (more) text = text.substr(comma + 1);
    const std::size_t at = item.find('@');
    const std::string_view name = item.substr(0, at);
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindName& k) { return k.name == name; });
    if (kind == std::end(kKinds)) {
      fail(error, "unknown fault \"" + std::string(item) + "\"");
      return std::nullopt;
    }
    const auto n = at == std::string_view::npos ? std::nullopt : parseDecimal(item.substr(at + 1));
    if (!n) {
      fail(error, "fault \"" + std::string(item) + "\" needs @N with a decimal N");
      return std::nullopt;
    }
    faults.push_back({kind->kind, static_cast<std::int64_t>(*n)});
  }
  return faults;
}

std::optional<Settings> settingsFromEnvironment(Lookup lookup, std::string* error) {
  Settings settings;
  const auto value = [&](const char* name) -> std::optional<std::string_view> {
    const char* text = lookup(name);
    if (text == nullptr) return std::nullopt;
    return std::string_view(text);
  };
  const auto flag = [&](const char* name, bool& out) {
    const auto text = value(name);
    if (!text || text->empty() || *text == "0") return true;
    if (*text == "1") {
      out = true;
      return true;
    }
    fail(error, std::string(name) + " must be 0 or 1");
    return false;
  };
  if (!flag("TREKMOR_SIM_ABSENT", settings.absent) || !flag("TREKMOR_SIM_DENIED", settings.denied)) {
    return std::nullopt;
  }
  if (const auto text = value("TREKMOR_SIM_FIRMWARE_VERSION")) {
    const auto n = parseDecimal(*text);
    if (!n || *n > 0xFFFFFFFFul) {
      fail(error, "TREKMOR_SIM_FIRMWARE_VERSION must be a whole number from 0 to 4294967295");
      return std::nullopt;
    }
    settings.firmwareVersion = static_cast<std::uint32_t>(*n);
  }
  if (const auto text = value("TREKMOR_SIM_HARDWARE")) settings.hardware = std::string(*text);
  if (const auto text = value("TREKMOR_SIM_SERIAL")) {
    if (text->size() != 24 || !std::all_of(text->begin(), text->end(), [](char c) { return hexValue(c) >= 0; })) {
      fail(error, "TREKMOR_SIM_SERIAL must be 24 hexadecimal digits");
      return std::nullopt;
    }
    for (std::size_t i = 0; i < settings.serial.size(); ++i) {
      settings.serial[i] = static_cast<std::uint8_t>(hexValue((*text)[2 * i]) << 4 | hexValue((*text)[2 * i + 1]));
    }
  }
  if (const auto text = value("TREKMOR_SIM_FAULT")) {
    std::string why;
    auto faults = parseFaults(*text, &why);
    if (!faults) {
      fail(error, "TREKMOR_SIM_FAULT: " + why);
      return std::nullopt;
    }
    settings.faults = std::move(*faults);
  }
  if (const auto text = value("TREKMOR_SIM_SILENCE_MS")) {
    const auto n = parseDecimal(*text);
    if (!n || *n > 600000) {
      fail(error, "TREKMOR_SIM_SILENCE_MS must be a whole number of milliseconds from 0 to 600000");
      return std::nullopt;
    }
    settings.silenceLimitMs = static_cast<long>(*n);
  }
  if (const auto text = value("TREKMOR_SIM_DEVICES")) {
    const auto n = parseDecimal(*text);
    if (!n || *n < 1 || *n > kMaxSimulatedDevices) {
      fail(error, "TREKMOR_SIM_DEVICES must be a whole number from 1 to " + std::to_string(kMaxSimulatedDevices));
      return std::nullopt;
    }
    settings.devices = static_cast<int>(*n);
  }
  if (const auto text = value("TREKMOR_SIM_EEPROM")) settings.eepromFile = std::string(*text);
  if (const auto text = value("TREKMOR_SIM_FIRMWARE_OUT")) settings.firmwareOut = std::string(*text);
  return settings;
}

DeviceSimulator::DeviceSimulator(Settings settings) : m_settings(std::move(settings)) {
  if (m_settings.eepromFile.empty()) return;
  std::ifstream in(pathFromUtf8(m_settings.eepromFile), std::ios::binary);
  if (in) {
    in.read(reinterpret_cast<char*>(m_eeprom.data()), static_cast<std::streamsize>(m_eeprom.size()));
  } else {
    setEeprom(m_eeprom);  // a new EEPROM file, all zeros
  }
}

void DeviceSimulator::setEeprom(const Eeprom& eeprom) {
  m_eeprom = eeprom;
  if (m_settings.eepromFile.empty()) return;
  std::ofstream out(pathFromUtf8(m_settings.eepromFile), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(m_eeprom.data()), static_cast<std::streamsize>(m_eeprom.size()));
}

void DeviceSimulator::storePage(std::size_t page) {
  if (m_settings.eepromFile.empty()) return;
  // Rewrites the page in place, so that a later process reads what this one wrote.
  std::fstream file(pathFromUtf8(m_settings.eepromFile), std::ios::binary | std::ios::in | std::ios::out);
  if (!file) {
    setEeprom(m_eeprom);
    return;
  }
  file.seekp(static_cast<std::streamoff>(page * kBytes));
  file.write(reinterpret_cast<const char*>(m_eeprom.data() + page * kBytes), kBytes);
}

bool DeviceSimulator::faultAt(FaultKind kind, std::int64_t n) const {
  return std::any_of(m_settings.faults.begin(), m_settings.faults.end(), [&](const Fault& f) {
    if (f.kind != kind) return false;
    if (kind == FaultKind::SerialBadCommand) return true;
    if (kind == FaultKind::NoAnswer) return n >= f.n;
    return n == f.n;
  });
}

bool DeviceSimulator::vanished() const {
  return std::any_of(m_settings.faults.begin(), m_settings.faults.end(),
                     [&](const Fault& f) { return f.kind == FaultKind::Vanish && m_exchanges >= f.n; });
}

bool DeviceSimulator::present() const { return !m_settings.absent && !vanished(); }

std::optional<Packet> DeviceSimulator::handle(const Packet& request) {
  m_requests.push_back(request);
  if (vanished()) return std::nullopt;  // a request into an unplugged cable
  const std::int64_t exchange = m_exchanges++;
  if (faultAt(FaultKind::NoAnswer, exchange)) return std::nullopt;

  Packet reply{};
  const std::uint8_t command = request[kCommand];
  // The device has one report, number 0; a request under another report id
  // is refused whatever it asks.
  if (request[0] != 0) return reply;
  reply[kCommand] = command;
  switch (command) {
    case kWritePage:
      return writePage(request, reply);
    case kReadPage:
      return readPage(request, reply);
    case kWriteBlock:
      return writeBlock(request, reply);
    case kFirmwareVersion:
      for (std::size_t i = 0; i < 4; ++i) reply[2 + i] = static_cast<std::uint8_t>(m_settings.firmwareVersion >> (8 * i));
      return reply;
    case kHardwareVersion: {
      // Text and its NUL within bytes 2..64.
      const std::size_t length = std::min<std::size_t>(m_settings.hardware.size(), 62);
      std::copy_n(m_settings.hardware.begin(), length, reply.begin() + 2);
      return reply;
    }
    case kSerialNumber:
      std::copy(m_settings.serial.begin(), m_settings.serial.end(), reply.begin() + 2);
      if (faultAt(FaultKind::SerialBadCommand, 0)) reply[kCommand] = otherCommand(command);
      return reply;
    default:
      reply[kCommand] = kRefused;
      return reply;
  }
}

Packet DeviceSimulator::writePage(const Packet& request, Packet reply) {
  const unsigned page = number16(request, kNumber);
  if (page >= kPages || sum32(request, kData) != number16(request, kSum)) {
    reply[kCommand] = kRefused;
    return reply;
  }
  if (faultAt(FaultKind::WriteFail, page)) {
    reply[kCommand] = otherCommand(kWritePage);
    return reply;
  }
  std::copy_n(request.begin() + kData, kBytes, m_eeprom.begin() + page * kBytes);
  // A cell that does not keep what it was given: the reply still says the
  // write succeeded, and only reading the page back tells.
  if (faultAt(FaultKind::Corrupt, page)) m_eeprom[page * kBytes] ^= 0xFF;
  storePage(page);
  return reply;
}

Packet DeviceSimulator::readPage(const Packet& request, Packet reply) {
  const unsigned page = number16(request, kNumber);
  if (page >= kPages) {
    reply[kCommand] = kRefused;
    return reply;
  }
  reply[kNumber] = request[kNumber];
  reply[kNumber + 1] = request[kNumber + 1];
  std::copy_n(m_eeprom.begin() + page * kBytes, kBytes, reply.begin() + kData);
  unsigned sum = sum32(reply, kData);
  if (faultAt(FaultKind::ReadBadSum, page)) sum += 1;
  reply[kSum] = static_cast<std::uint8_t>(sum);
  reply[kSum + 1] = static_cast<std::uint8_t>(sum >> 8);
  if (faultAt(FaultKind::ReadBadCommand, page)) reply[kCommand] = otherCommand(kReadPage);
  return reply;
}

Packet DeviceSimulator::writeBlock(const Packet& request, Packet reply) {
  const unsigned block = number16(request, kNumber);
  // Blocks arrive in order from 0 in each opening of the device, and no image
  // is longer than the device's firmware memory.
  if (block >= kFirmwareBlocks || block != m_nextBlock || sum32(request, kData) != number16(request, kSum)) {
    reply[kCommand] = kRefused;
    return reply;
  }
  if (faultAt(FaultKind::BlockFail, block)) {
    reply[kCommand] = otherCommand(kWriteBlock);
    return reply;
  }
  auto& stored = m_blocks[static_cast<std::uint16_t>(block)];
  std::copy_n(request.begin() + kData, kBytes, stored.begin());
  ++m_nextBlock;
  return reply;
}

std::vector<std::uint8_t> DeviceSimulator::receivedFirmware() const {
  std::vector<std::uint8_t> out;
  if (m_blocks.empty()) return out;
  out.resize((static_cast<std::size_t>(m_blocks.rbegin()->first) + 1) * kBytes, 0);
  for (const auto& [block, bytes] : m_blocks) std::copy(bytes.begin(), bytes.end(), out.begin() + block * kBytes);
  return out;
}

void DeviceSimulator::saveFirmware() const {
  if (m_settings.firmwareOut.empty() || m_blocks.empty()) return;
  const std::vector<std::uint8_t> bytes = receivedFirmware();
  std::ofstream out(pathFromUtf8(m_settings.firmwareOut), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace trekmor::sim
