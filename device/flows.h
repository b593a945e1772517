// The device operations behind the window's command buttons and the
// command-line companion: Write config, Read config, the device information
// and the firmware upload. Each opens the device for itself and closes it on
// every path; they speak only through Fields and UserInterface.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/transport.h"
#include "image/image.h"
#include "settings/fields.h"
#include "settings/userinterface.h"

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
};

inline constexpr std::array<std::string_view, 5> kCommandButtons = {
    "Button_read_config", "Button_write_config", "Button_upload_firmware", "Button_save_to_file",
    "Button_read_from_file"};

// "1.12" for 112: the number in hundredths with two decimals.
std::string firmwareVersionText(std::uint32_t hundredths);

// The device's firmware version number, or nothing when the exchange failed
// or the reply names another command.
std::optional<std::uint32_t> queryFirmwareVersion(HidTransport& transport);

// The text of the device information box (firmware, hardware and, when its
// reply names the right command, serial number), or nothing when an exchange failed.
std::optional<std::string> deviceInformation(HidTransport& transport);

// Packs the fields into `writeImage` and, when every check passed, writes it
// to a device that runs the matching firmware.
DeviceOutcome writeConfig(const Fields& fields, UserInterface& ui, HidTransport& transport, Image& writeImage,
                          std::uint32_t stampSeed);

// Reads the device's image into `readImage`, tests and unpacks it into the
// fields, then opens the device again to show its information.
DeviceOutcome readConfig(Fields& fields, UserInterface& ui, HidTransport& transport, Image& readImage);

// Opens the device and shows its information box.
DeviceOutcome showDeviceInformation(UserInterface& ui, HidTransport& transport);

// Sends a firmware image to the open device in 32-byte blocks; `image` is
// empty when the program carries none.
DeviceOutcome sendFirmware(UserInterface& ui, HidTransport& transport,
                           std::optional<std::span<const std::uint8_t>> image);

// Opens the device, disables the five command buttons, sends the firmware and
// enables the buttons again on every path. An empty image is refused before
// the device is opened.
DeviceOutcome uploadFirmware(Fields& fields, UserInterface& ui, HidTransport& transport,
                             std::optional<std::span<const std::uint8_t>> image);

// One firmware block; true when the reply names the command.
bool writeFirmwareBlock(HidTransport& transport, std::uint16_t block, Block bytes);

}  // namespace trekmor
