#include "device/flows.h"

#include <algorithm>
#include <vector>

#include "device/link.h"
#include "device/pages.h"
#include "settings/pipeline.h"

namespace trekmor {

namespace {

constexpr const char* kNoVersionReplyMessage =
    "APRS Trekmor did not answer the firmware version query.\n\nNothing was written or read. Check the USB "
    "connection and try again.";

std::uint32_t replyNumber(const Report& reply) {
  return static_cast<std::uint32_t>(reply[kReplyValueOffset]) |
         static_cast<std::uint32_t>(reply[kReplyValueOffset + 1]) << 8 |
         static_cast<std::uint32_t>(reply[kReplyValueOffset + 2]) << 16 |
         static_cast<std::uint32_t>(reply[kReplyValueOffset + 3]) << 24;
}

// Text from byte 2 up to its NUL; a reply without one ends at the report's end.
std::string replyText(const Report& reply) {
  const auto begin = reply.begin() + kReplyValueOffset;
  return std::string(begin, std::find(begin, reply.end(), std::uint8_t{0}));
}

std::string hexDigits(const Report& reply) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < kSerialNumberSize; ++i) {
    const std::uint8_t byte = reply[kReplyValueOffset + i];
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
  }
  return out;
}

std::string mismatchMessage(std::uint32_t device, const char* advice) {
  return "Uncompatible firmware version:\nDevice: " + firmwareVersionText(device) +
         "\nConfigurator: " + firmwareVersionText(kConfiguratorFirmwareVersion) + "\n\n" + advice;
}

// The firmware test both configuration flows make before touching any page.
DeviceOutcome testFirmwareVersion(HidTransport& transport, UserInterface& ui, const char* advice) {
  const std::optional<std::uint32_t> version = queryFirmwareVersion(transport);
  if (!version) {
    ui.information(kNoVersionReplyMessage);
    return DeviceOutcome::NoVersionReply;
  }
  if (*version != kConfiguratorFirmwareVersion) {
    ui.information(mismatchMessage(*version, advice));
    return DeviceOutcome::FirmwareMismatch;
  }
  return DeviceOutcome::Done;
}

// An image without a byte would "upload" nothing and report success.
bool refusedAsEmpty(UserInterface& ui, const std::optional<std::span<const std::uint8_t>>& image) {
  if (!image || !image->empty()) return false;
  ui.information("Firmware file is empty.");
  return true;
}

}  // namespace

std::string firmwareVersionText(std::uint32_t hundredths) {
  // Whole numbers only: "%.2f" would follow the user's locale and show
  // "1,12" where the decimal separator is a comma.
  const std::uint32_t cents = hundredths % 100;
  return std::to_string(hundredths / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

std::optional<std::uint32_t> queryFirmwareVersion(HidTransport& transport) {
  Report reply{};
  if (!exchange(transport, makeQuery(Command::FirmwareVersion), reply)) return std::nullopt;
  if (!replyIs(reply, Command::FirmwareVersion)) return std::nullopt;
  return replyNumber(reply);
}

std::optional<std::string> deviceInformation(HidTransport& transport) {
  Report reply{};
  if (!exchange(transport, makeQuery(Command::FirmwareVersion), reply) ||
      !replyIs(reply, Command::FirmwareVersion)) {
    return std::nullopt;
  }
  std::string text = "Firmware version: " + firmwareVersionText(replyNumber(reply));
  if (!exchange(transport, makeQuery(Command::HardwareVersion), reply) ||
      !replyIs(reply, Command::HardwareVersion)) {
    return std::nullopt;
  }
  text += "\r\nHardware version: " + replyText(reply);
  if (!exchange(transport, makeQuery(Command::SerialNumber), reply)) return std::nullopt;
  // A serial reply under another command still leaves the first two lines worth showing.
  if (replyIs(reply, Command::SerialNumber)) text += "\r\nSerial number: " + hexDigits(reply);
  return text;
}

DeviceOutcome writeConfig(const Fields& fields, UserInterface& ui, HidTransport& transport, Image& writeImage,
                          std::uint32_t stampSeed) {
  const PackResult packed = packConfigImage(fields, writeImage, stampSeed);
  if (packed.status == PackResult::Status::CheckFailed) ui.information(packed.message);
  if (packed.status == PackResult::Status::ConversionError) ui.error(packed.message);
  if (!packed) return DeviceOutcome::PackFailed;

  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  const DeviceOutcome firmware = testFirmwareVersion(
      transport, ui, "You need to upload new firmware using \"Upload firmware\" button.");
  if (firmware != DeviceOutcome::Done) return firmware;
  return writeAllPages(transport, ui, writeImage) ? DeviceOutcome::Done : DeviceOutcome::TransferFailed;
}

DeviceOutcome readConfig(Fields& fields, UserInterface& ui, HidTransport& transport, Image& readImage) {
  readImage.fill(0);
  {
    DeviceSession device(transport, ui);
    if (!device) return DeviceOutcome::NotFound;
    const DeviceOutcome firmware = testFirmwareVersion(
        transport, ui,
        "You need use the same Configurator and firmware version to read device configuration or you can write "
        "new configuration using \"Write config\" button.");
    if (firmware != DeviceOutcome::Done) return firmware;
    // A page that fails leaves the rest of the image at zero; only the pages
    // holding used bytes matter, and the integrity test below tells.
    readAllPages(transport, ui, readImage);
  }
  if (!checkImageIntegrity(readImage)) {
    ui.log("Eeprom checksum error. Please reload configuration.");
    return DeviceOutcome::ChecksumError;
  }
  if (!unpackConfigImage(readImage, fields, ui)) {
    ui.log("Eeprom read error. Please reload configuration.");
    return DeviceOutcome::ConfigVersionMismatch;
  }
  ui.log("Eeprom read success.");
  // The information box is a courtesy: the configuration is read either way.
  showDeviceInformation(ui, transport);
  return DeviceOutcome::Done;
}

DeviceOutcome showDeviceInformation(UserInterface& ui, HidTransport& transport) {
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  const std::optional<std::string> text = deviceInformation(transport);
  if (!text) return DeviceOutcome::NoDeviceInformation;
  ui.message(*text);
  return DeviceOutcome::Done;
}

bool writeFirmwareBlock(HidTransport& transport, std::uint16_t block, Block bytes) {
  Report reply{};
  return exchange(transport, makeWriteFirmwareBlock(block, bytes), reply) &&
         replyIs(reply, Command::WriteFirmwareBlock);
}

DeviceOutcome sendFirmware(UserInterface& ui, HidTransport& transport,
                           std::optional<std::span<const std::uint8_t>> image) {
  if (!image) {
    ui.information("Firmware resource not found (FindResource).");
    return DeviceOutcome::NoFirmware;
  }
  if (refusedAsEmpty(ui, image)) return DeviceOutcome::NoFirmware;
  if (image->size() > kFirmwareMaxSize) {
    ui.information("Firmware file too long.");
    return DeviceOutcome::NoFirmware;
  }
  const int count = static_cast<int>((image->size() + kBlockSize - 1) / kBlockSize);
  // A short last block goes out completed with zeros.
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count) * kBlockSize, 0);
  std::copy(image->begin(), image->end(), buffer.begin());

  ui.setProgress(0);
  ui.setProgressRange(count);
  for (int block = 0; block < count; ++block) {
    // Keeps the window painting and its log scrolling during the long upload.
    ui.processEvents();
    const Block bytes(buffer.data() + static_cast<std::size_t>(block) * kBlockSize, kBlockSize);
    if (!writeFirmwareBlock(transport, static_cast<std::uint16_t>(block), bytes)) {
      ui.log(progressLine("Page write error: ", block + 1, count));
      return DeviceOutcome::TransferFailed;
    }
    ui.log(progressLine("Page written: ", block + 1, count));
    ui.setProgress(block + 1);
  }
  ui.log("Firmware upgrade success");
  ui.setProgress(0);
  return DeviceOutcome::Done;
}

DeviceOutcome uploadFirmware(Fields& fields, UserInterface& ui, HidTransport& transport,
                             std::optional<std::span<const std::uint8_t>> image) {
  // Refused before the device is opened: there is nothing to send.
  if (refusedAsEmpty(ui, image)) return DeviceOutcome::NoFirmware;
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  // The buttons come back on every path out, an exception's included.
  struct ButtonsOff {
    Fields& fields;
    explicit ButtonsOff(Fields& f) : fields(f) {
      for (std::string_view button : kCommandButtons) fields.setEnabled(button, false);
    }
    ~ButtonsOff() {
      for (std::string_view button : kCommandButtons) fields.setEnabled(button, true);
    }
    ButtonsOff(const ButtonsOff&) = delete;
    ButtonsOff& operator=(const ButtonsOff&) = delete;
  } buttonsOff(fields);
  return sendFirmware(ui, transport, image);
}

}  // namespace trekmor
