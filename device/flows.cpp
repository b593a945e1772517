#include "device/flows.h"

#include <algorithm>
#include <vector>

#include "device/link.h"
#include "device/pages.h"
#include "image/bytes.h"
#include "image/numbers.h"
#include "settings/pipeline.h"

namespace trekmor {

namespace {

constexpr const char* kNoVersionReplyMessage =
    "APRS Trekmor did not answer the firmware version query.\n\nNothing was written or read. Check the USB "
    "connection and try again.";

std::uint32_t replyNumber(const Report& reply) { return getLE(reply, kReplyValueOffset, 4); }

// Text from byte 2 up to its NUL; a reply without one ends at the report's end.
std::string replyText(const Report& reply) {
  return textAt(reply, kReplyValueOffset, kReportSize - kReplyValueOffset);
}

std::string serialNumberText(const Report& reply) {
  return hexText(std::span(reply).subspan(kReplyValueOffset, kSerialNumberSize));
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

std::string DeviceInformation::text() const {
  std::string text = "Firmware version: " + firmwareVersion + "\r\nHardware version: " + hardwareVersion;
  if (serialNumber) text += "\r\nSerial number: " + *serialNumber;
  return text;
}

std::optional<DeviceInformation> readDeviceInformation(HidTransport& transport) {
  Report reply{};
  if (!exchange(transport, makeQuery(Command::FirmwareVersion), reply) ||
      !replyIs(reply, Command::FirmwareVersion)) {
    return std::nullopt;
  }
  DeviceInformation information;
  information.firmwareVersion = firmwareVersionText(replyNumber(reply));
  if (!exchange(transport, makeQuery(Command::HardwareVersion), reply) ||
      !replyIs(reply, Command::HardwareVersion)) {
    return std::nullopt;
  }
  information.hardwareVersion = replyText(reply);
  if (!exchange(transport, makeQuery(Command::SerialNumber), reply)) return std::nullopt;
  // A serial reply under another command still leaves the first two lines worth showing.
  if (replyIs(reply, Command::SerialNumber)) information.serialNumber = serialNumberText(reply);
  return information;
}

std::optional<std::string> deviceInformation(HidTransport& transport) {
  const std::optional<DeviceInformation> information = readDeviceInformation(transport);
  if (!information) return std::nullopt;
  return information->text();
}

bool packForDevice(const Fields& fields, UserInterface& ui, Image& image, std::uint32_t stampSeed) {
  const PackResult packed = packConfigImage(fields, image, stampSeed);
  if (packed.status == PackResult::Status::CheckFailed) ui.information(packed.message);
  if (packed.status == PackResult::Status::ConversionError) ui.error(packed.message);
  return static_cast<bool>(packed);
}

DeviceOutcome writeConfig(const Fields& fields, UserInterface& ui, HidTransport& transport, Image& writeImage,
                          std::uint32_t stampSeed) {
  if (!packForDevice(fields, ui, writeImage, stampSeed)) return DeviceOutcome::PackFailed;
  return writePackedImage(ui, transport, writeImage);
}

DeviceOutcome writePackedImage(UserInterface& ui, HidTransport& transport, const Image& image) {
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  const DeviceOutcome firmware = testFirmwareVersion(
      transport, ui, "You need to upload new firmware using \"Upload firmware\" button.");
  if (firmware != DeviceOutcome::Done) return firmware;
  return writeAllPages(transport, ui, image) ? DeviceOutcome::Done : DeviceOutcome::TransferFailed;
}

DeviceOutcome readDeviceImage(UserInterface& ui, HidTransport& transport, Image& image) {
  image.fill(0);
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  const DeviceOutcome firmware = testFirmwareVersion(
      transport, ui,
      "You need use the same Configurator and firmware version to read device configuration or you can write "
      "new configuration using \"Write config\" button.");
  if (firmware != DeviceOutcome::Done) return firmware;
  return readAllPages(transport, ui, image) ? DeviceOutcome::Done : DeviceOutcome::TransferFailed;
}

DeviceOutcome verifyWrittenImage(UserInterface& ui, HidTransport& transport, const Image& written, Image& readBack,
                                 std::size_t& firstDifferingPage) {
  readBack.fill(0);
  {
    DeviceSession device(transport, ui);
    if (!device) return DeviceOutcome::NotFound;
    if (!readAllPages(transport, ui, readBack)) return DeviceOutcome::TransferFailed;
  }
  const auto [differs, _] = std::mismatch(written.begin(), written.end(), readBack.begin());
  if (differs == written.end()) return DeviceOutcome::Done;
  firstDifferingPage = static_cast<std::size_t>(differs - written.begin()) / kPageSize;
  return DeviceOutcome::VerifyMismatch;
}

DeviceOutcome readConfig(Fields& fields, UserInterface& ui, HidTransport& transport, Image& readImage) {
  // A page that fails leaves the rest of the image at zero; only the pages
  // holding used bytes matter, and the integrity test below tells.
  const DeviceOutcome read = readDeviceImage(ui, transport, readImage);
  if (read != DeviceOutcome::Done && read != DeviceOutcome::TransferFailed) return read;
  const DeviceOutcome accepted = acceptReadImage(readImage, fields, ui);
  if (accepted != DeviceOutcome::Done) return accepted;
  // The information box is a courtesy: the configuration is read either way.
  showDeviceInformation(ui, transport);
  return DeviceOutcome::Done;
}

DeviceOutcome acceptReadImage(const Image& image, Fields& fields, UserInterface& ui) {
  if (!checkImageIntegrity(image)) {
    ui.log("Eeprom checksum error. Please reload configuration.");
    return DeviceOutcome::ChecksumError;
  }
  if (!unpackConfigImage(image, fields, ui)) {
    ui.log("Eeprom read error. Please reload configuration.");
    return DeviceOutcome::ConfigVersionMismatch;
  }
  ui.log("Eeprom read success.");
  return DeviceOutcome::Done;
}

DeviceOutcome queryDeviceInformation(UserInterface& ui, HidTransport& transport, DeviceInformation& information) {
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  std::optional<DeviceInformation> read = readDeviceInformation(transport);
  if (!read) return DeviceOutcome::NoDeviceInformation;
  information = std::move(*read);
  return DeviceOutcome::Done;
}

DeviceOutcome showDeviceInformation(UserInterface& ui, HidTransport& transport) {
  DeviceInformation information;
  const DeviceOutcome outcome = queryDeviceInformation(ui, transport, information);
  if (outcome == DeviceOutcome::Done) ui.message(information.text());
  return outcome;
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
  // A short last block goes out completed with zeros.
  std::vector<std::uint8_t> buffer((image->size() + kBlockSize - 1) / kBlockSize * kBlockSize, 0);
  std::copy(image->begin(), image->end(), buffer.begin());
  // The window processes its events before each block, so that it keeps
  // painting and its log scrolling during the long upload.
  const BlockRun run{Command::WriteFirmwareBlock, "Firmware upgrade success", true};
  return sendBlocks(transport, ui, buffer, run) ? DeviceOutcome::Done : DeviceOutcome::TransferFailed;
}

DeviceOutcome uploadFirmware(UserInterface& ui, HidTransport& transport,
                             std::optional<std::span<const std::uint8_t>> image) {
  // Refused before the device is opened: there is nothing to send.
  if (refusedAsEmpty(ui, image)) return DeviceOutcome::NoFirmware;
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  const BusyScope busy(ui);
  return sendFirmware(ui, transport, image);
}

}  // namespace trekmor
