#include "app/cli/devicecommands.h"

#include <algorithm>
#include <filesystem>
#include <variant>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/cli/offline.h"
#include "app/cli/trackers.h"
#include "configfile/configfile.h"
#include "configfile/textencoding.h"
#include "platform/wholefile.h"
#include "platform/ascii.h"
#include "platform/filename.h"
#include "device/firmware.h"
#include "device/flows.h"
#include "device/protocol.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor::cli {

namespace {

// What makes a named file no firmware image, or nothing. The image format is
// opaque, so only what can be told for certain is refused: a file larger than
// the largest image the device takes, one of this tool's own configuration
// files or configuration images, and text (a firmware image holds NUL bytes
// and bytes that are no characters; a text file holds neither).
std::optional<std::string> notFirmware(std::string_view bytes) {
  const ProfileFile file = ProfileFile::fromBytes(bytes);
  if (file.value(kHeaderSection, "Application") == kApplicationName) return "it is a configuration file (.cfg)";
  if (bytes.size() == kImageSize) {
    Image image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    if (checkImageIntegrity(image)) return "it is a configuration image";
  }
  const bool text = bytes.find('\0') == std::string_view::npos && !firstUnencodable(bytes).has_value() &&
                    std::all_of(bytes.begin(), bytes.end(), [](char c) {
                      const auto byte = static_cast<unsigned char>(c);
                      return byte >= 0x20 ? byte != 0x7F : byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
                    });
  if (!bytes.empty() && text) return "it is text";
  return std::nullopt;
}

// The named firmware image, or the exit status of its refusal (shown).
std::variant<std::vector<std::uint8_t>, int> readFirmwareFile(const Invocation& invocation, const std::string& path) {
  ReadFailure failure;
  const std::optional<std::string> bytes = readWholeFile(path, kFirmwareMaxSize, &failure);
  std::optional<std::string> problem;
  if (!bytes && failure.kind == ReadFailure::Kind::TooLarge) {
    problem = "it holds " + std::to_string(failure.size) + " bytes, more than the largest image the device takes (" +
              std::to_string(kFirmwareMaxSize) + " bytes)";
  } else if (!bytes) {
    return cannotRead(invocation, path, failure);
  } else {
    problem = notFirmware(*bytes);
  }
  if (problem) {
    invocation.ui.setSubject(path);
    invocation.ui.information(path + " is not a firmware image: " + *problem + ". Nothing was sent to the device.");
    return kExitStopped;
  }
  return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

}  // namespace

int loadDeviceInput(const Invocation& invocation, FieldStore& fields) {
  CommandDevice device(invocation);
  if (device.status() != kExitSuccess) return device.status();
  fields = FieldStore::withStartValues();
  Image image{};
  return exitStatus(readConfig(fields, invocation.ui, device.transport(), image));
}

int runRead(const Invocation& invocation) {
  FieldStore fields;
  const int status = loadDeviceInput(invocation, fields);
  if (status != kExitSuccess) return status;
  return saveOutput(invocation, fields, invocation.arguments[0]);
}

namespace {

constexpr std::string_view kNothingWritten = "Nothing was written to the device.";

// Saves what the device holds before it is overwritten: the raw image in a
// .bin file, whatever it holds, or its settings in a .cfg file, which needs
// an image that passes the integrity and version tests.
bool makeBackup(const Invocation& invocation, HidTransport& transport, const std::string& path) {
  ConsoleInterface& ui = invocation.ui;
  Image image{};
  const DeviceOutcome read = readDeviceImage(ui, transport, image);
  if (read != DeviceOutcome::Done) {
    if (read == DeviceOutcome::TransferFailed) ui.information("The device's configuration could not be read for the backup.");
    return false;
  }
  if (hasExtension(path, ".bin")) {
    if (saveImageOutput(invocation, image, path) != kExitSuccess) return false;
  } else {
    FieldStore fields = FieldStore::withStartValues();
    if (acceptReadImage(image, fields, ui) != DeviceOutcome::Done) {
      ui.information("The device's configuration fails the integrity or version test and cannot be saved as a "
                     ".cfg file; a .bin backup keeps it as it is.");
      return false;
    }
    if (saveOutput(invocation, fields, path) != kExitSuccess) return false;
  }
  ui.log("Backup saved: " + path);
  return true;
}

// The settings stored in the bytes where two images differ: both unpacked
// over the start values, without the version test, and compared setting by setting.
std::string settingsInBytesThatDiffer(const Image& written, const Image& readBack) {
  FieldStore a = FieldStore::withStartValues();
  FieldStore b = FieldStore::withStartValues();
  unpackSettings(written, a, silentInterface());
  unpackSettings(readBack, b, silentInterface());
  std::string names;
  for (const SettingDifference& difference : settingDifferences(a, b)) {
    names += (names.empty() ? "" : ", ") + settingName(*difference.field);
  }
  return names;
}

}  // namespace

int verify(const Invocation& invocation, HidTransport& transport, const Image& written) {
  ConsoleInterface& ui = invocation.ui;
  Image readBack{};
  std::size_t page = 0;
  const DeviceOutcome outcome = verifyWrittenImage(ui, transport, written, readBack, page);
  const std::string pages = std::to_string(kPageCount);
  if (outcome == DeviceOutcome::Done) {
    ui.log("Verified: all " + pages + " pages read back as written.");
    return kExitSuccess;
  }
  if (outcome != DeviceOutcome::VerifyMismatch) {
    ui.information("Verification failed: the configuration could not be read back.");
    return exitStatus(outcome);
  }
  const std::string settings = settingsInBytesThatDiffer(written, readBack);
  ui.information("Verification failed: page " + std::to_string(page + 1) + "/" + pages +
                 " read back differs from what was written.");
  ui.information(settings.empty() ? "The bytes that differ hold no setting (version, stamp, end marker, checksum "
                                    "or unused bytes)."
                                  : "Settings whose bytes differ: " + settings);
  return kExitStopped;
}

namespace {

// Reads what the tracker holds and keeps it in the history (--keep-before)
// before a write or an upload; false, with the reason shown, when it could not be read.
bool keepBefore(const Invocation& invocation, RecordingTransport& transport, HistoryEvent event) {
  transport.labelNextRead(event);
  Image held{};
  const DeviceOutcome read = event == HistoryEvent::BeforeFirmware
                                 ? readHeldImage(invocation.ui, transport, held)
                                 : readDeviceImage(invocation.ui, transport, held);
  if (read == DeviceOutcome::Done) return true;
  // The flow of "Read config" has told of everything else already.
  if (read == DeviceOutcome::TransferFailed ||
      (read == DeviceOutcome::NoVersionReply && event == HistoryEvent::BeforeFirmware)) {
    invocation.ui.information("The device's configuration could not be read to keep it in the history.");
  }
  return false;
}

}  // namespace

void tellPartlyWritten(const Invocation& invocation, const RecordingTransport& transport, std::string remedies,
                       const std::string* backup) {
  const std::string program(kProgramName);
  for (const HistoryEntry& entry : transport.stored()) {
    if (entry.event == HistoryEvent::BeforeWrite) {
      remedies += ", or restore what it held with '" + program + " history restore " + entry.id + "'";
    }
  }
  if (backup) {
    remedies += hasExtension(*backup, ".cfg") ? ", or write the backup back with '" + program + " write " + *backup + "'"
                                              : "; the backup " + *backup + " holds what it held";
  }
  invocation.ui.information("The write broke off: the tracker now holds a partly written configuration; " + remedies + ".");
}

int runWrite(const Invocation& invocation) {
  const std::string* backup = invocation.value(kBackupOption);
  if (backup && !hasExtension(*backup, ".bin") && !hasExtension(*backup, ".cfg")) {
    diagnose(invocation, "--backup takes a file name ending in .cfg or .bin");
    return kExitUsage;
  }
  // An earlier backup is never overwritten by mistake; the history keeps every one anyway.
  std::error_code missing;
  if (backup && !invocation.given(kForceOption) &&
      std::filesystem::symlink_status(FileName(*backup).path(), missing).type() != std::filesystem::file_type::not_found) {
    diagnose(invocation, *backup + " exists; --force replaces it");
    return kExitUsage;
  }
  const PackInput input = loadPackInput(invocation);
  if (input.status != kExitSuccess) return input.status;
  Image image{};
  if (!packForDevice(input.fields, invocation.ui, image, input.seed)) return exitStatus(DeviceOutcome::PackFailed);

  CommandDevice device(invocation);
  if (device.status() != kExitSuccess) return device.status();
  RecordingTransport& transport = device.transport();
  // The read of a backup is the configuration kept before the write.
  if (backup) transport.labelNextRead(HistoryEvent::BeforeWrite);
  const bool kept = backup ? makeBackup(invocation, transport, *backup)
                           : !invocation.given(kKeepBeforeOption) || keepBefore(invocation, transport, HistoryEvent::BeforeWrite);
  if (!kept) {
    invocation.ui.information(kNothingWritten);
    return kExitStopped;
  }
  const DeviceOutcome written = writePackedImage(invocation.ui, transport, image);
  if (written == DeviceOutcome::TransferFailed) {
    tellPartlyWritten(invocation, transport, "write the configuration again", backup);
  }
  if (written != DeviceOutcome::Done) return exitStatus(written);
  return invocation.given(kVerifyOption) ? verify(invocation, transport, image) : kExitSuccess;
}

int runInfo(const Invocation& invocation) {
  CommandDevice device(invocation);
  if (device.status() != kExitSuccess) return device.status();
  HidTransport& transport = device.transport();
  if (!invocation.given(kJsonOption)) return exitStatus(showDeviceInformation(invocation.ui, transport));
  DeviceInformation information;
  const DeviceOutcome outcome = queryDeviceInformation(invocation.ui, transport, information);
  if (outcome != DeviceOutcome::Done) return exitStatus(outcome);
  printJson(invocation, {{"firmware_version", information.firmwareVersion},
                         {"hardware_version", information.hardwareVersion},
                         {"serial_number", information.serialNumber ? nlohmann::ordered_json(*information.serialNumber)
                                                                    : nlohmann::ordered_json(nullptr)}});
  return kExitSuccess;
}

int runUploadFirmware(const Invocation& invocation) {
  std::optional<std::vector<std::uint8_t>> named;
  if (!invocation.arguments.empty()) {
    auto read = readFirmwareFile(invocation, invocation.arguments[0]);
    if (const int* refused = std::get_if<int>(&read)) return *refused;
    named = std::move(std::get<std::vector<std::uint8_t>>(read));
  }
  const std::optional<std::span<const std::uint8_t>> image =
      named ? std::optional<std::span<const std::uint8_t>>(*named) : carriedFirmware();
  CommandDevice device(invocation);
  if (device.status() != kExitSuccess) return device.status();
  if (invocation.given(kKeepBeforeOption) && !keepBefore(invocation, device.transport(), HistoryEvent::BeforeFirmware)) {
    invocation.ui.information("Nothing was sent to the device.");
    return kExitStopped;
  }
  return exitStatus(uploadFirmware(invocation.ui, device.transport(), image));
}

}  // namespace trekmor::cli
