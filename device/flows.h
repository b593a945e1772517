// The device operations behind the window's command buttons and the
// command-line companion: Write config, Read config, the device information
// and the firmware upload. Each opens the device for itself and closes it on
// every path; they speak only through Fields and UserInterface, and name no
// control of the window.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/transport.h"
#include "image/image.h"
#include "settings/fields.h"
#include "platform/userinterface.h"

namespace trekmor {

enum class DeviceOutcome {
  Done,                   // everything went through
  PackFailed,             // a check or conversion failed; the device was not opened
  NotFound,               // no device, or one that cannot be opened
  NoVersionReply,         // the device did not answer the firmware version query
  FirmwareMismatch,       // the device runs another firmware version
  TransferFailed,         // a page or firmware block exchange failed
  ChecksumError,          // the image read back fails its checksum or end marker
  ConfigVersionMismatch,  // the image read back has another configuration version
  NoDeviceInformation,    // a device information exchange failed
  NoFirmware,             // no firmware image to send, an empty one or one too long
  VerifyMismatch,         // a page read back after a write differs from what was written
};

// "1.12" for 112: the number in hundredths with two decimals.
std::string firmwareVersionText(std::uint32_t hundredths);

// The device's firmware version number, or nothing when the exchange failed
// or the reply names another command.
std::optional<std::uint32_t> queryFirmwareVersion(HidTransport& transport);

// What the device tells about itself. The serial number is missing when its
// reply names another command.
struct DeviceInformation {
  std::string firmwareVersion;  // "1.12"
  std::string hardwareVersion;
  std::optional<std::string> serialNumber;  // 24 hexadecimal digits
  // The information box's text, its lines ending in CR LF.
  std::string text() const;
};
std::optional<DeviceInformation> readDeviceInformation(HidTransport& transport);

// The text of the device information box (firmware, hardware and, when its
// reply names the right command, serial number), or nothing when an exchange failed.
std::optional<std::string> deviceInformation(HidTransport& transport);

// Packs the fields into `image` as "Write config" packs them; a failed check
// shows its information box and a conversion error its error box.
bool packForDevice(const Fields& fields, UserInterface& ui, Image& image, std::uint32_t stampSeed);

// The device part of "Write config": opens the device, tests its firmware
// version and writes every page of the packed image.
DeviceOutcome writePackedImage(UserInterface& ui, HidTransport& transport, const Image& image);

// Packs the fields into `writeImage` and, when every check passed, writes it
// to a device that runs the matching firmware.
DeviceOutcome writeConfig(const Fields& fields, UserInterface& ui, HidTransport& transport, Image& writeImage,
                          std::uint32_t stampSeed);

// The device part of "Read config": opens the device, tests its firmware
// version and reads every page into `image` (zeroed first). TransferFailed
// when a page did not arrive; the pages after it stay zero.
DeviceOutcome readDeviceImage(UserInterface& ui, HidTransport& transport, Image& image);

// Opens the device again after a write and reads every page back into
// `readBack`, comparing it with `written`: Done when they are equal,
// VerifyMismatch when a page differs, TransferFailed (with the read's error
// line) when a page could not be read. The first differing page, counted
// from 0, is in `firstDifferingPage`.
DeviceOutcome verifyWrittenImage(UserInterface& ui, HidTransport& transport, const Image& written, Image& readBack,
                                 std::size_t& firstDifferingPage);

// Reads the device's image into `readImage`, tests and unpacks it into the
// fields, then opens the device again to show its information.
DeviceOutcome readConfig(Fields& fields, UserInterface& ui, HidTransport& transport, Image& readImage);

// What "Read config" makes of the image its page reads gave: the integrity
// test, then the version test and the unpack into the fields, logging the
// outcome ("Eeprom read success." or the error that stopped it).
DeviceOutcome acceptReadImage(const Image& image, Fields& fields, UserInterface& ui);

// Opens the device and reads its information into `information`.
DeviceOutcome queryDeviceInformation(UserInterface& ui, HidTransport& transport, DeviceInformation& information);

// Opens the device and shows its information box.
DeviceOutcome showDeviceInformation(UserInterface& ui, HidTransport& transport);

// Sends a firmware image to the open device in 32-byte blocks; `image` is
// empty when the program carries none.
DeviceOutcome sendFirmware(UserInterface& ui, HidTransport& transport,
                           std::optional<std::span<const std::uint8_t>> image);

// Opens the device and sends the firmware, busy from the device's opening and
// idle again on every path out. An empty image is refused before the device
// is opened.
DeviceOutcome uploadFirmware(UserInterface& ui, HidTransport& transport,
                             std::optional<std::span<const std::uint8_t>> image);

}  // namespace trekmor
