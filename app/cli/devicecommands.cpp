#include "app/cli/devicecommands.h"

#include <filesystem>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/cli/offline.h"
#include "app/cli/trackers.h"
#include "configfile/configfile.h"
#include "platform/wholefile.h"
#include "platform/ascii.h"
#include "platform/filename.h"
#include "device/firmware.h"
#include "device/firmwarefile.h"
#include "device/flows.h"
#include "device/protocol.h"
#include "device/verification.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor::cli {

namespace {

// The named firmware image, or the exit status of its refusal (shown).
std::variant<std::vector<std::uint8_t>, int> firmwareNamed(const Invocation& invocation, const std::string& path) {
  FirmwareFile file = readFirmwareFile(FileName(path));
  if (file.failure.kind != ReadFailure::Kind::None) return cannotRead(invocation, path, file.failure);
  if (!file.problem.empty()) {
    invocation.ui.setSubject(path);
    invocation.ui.information(notFirmwareText(path, file));
    return kExitStopped;
  }
  return std::move(file.bytes);
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

}  // namespace

int verify(const Invocation& invocation, HidTransport& transport, const Image& written) {
  ConsoleInterface& ui = invocation.ui;
  Image readBack{};
  std::size_t page = 0;
  const DeviceOutcome outcome = verifyWrittenImage(ui, transport, written, readBack, page);
  const std::vector<std::string> findings = verificationFindings(outcome, page, written, readBack);
  if (outcome == DeviceOutcome::Done) {
    ui.log(findings.front());
    return kExitSuccess;
  }
  for (const std::string& finding : findings) ui.information(finding);
  return outcome == DeviceOutcome::VerifyMismatch ? kExitStopped : exitStatus(outcome);
}

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
                           : !invocation.given(kKeepBeforeOption) || keepHeldConfiguration(invocation.ui, transport, HistoryEvent::BeforeWrite);
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
    auto read = firmwareNamed(invocation, invocation.arguments[0]);
    if (const int* refused = std::get_if<int>(&read)) return *refused;
    named = std::move(std::get<std::vector<std::uint8_t>>(read));
  }
  const std::optional<std::span<const std::uint8_t>> image =
      named ? std::optional<std::span<const std::uint8_t>>(*named) : carriedFirmware();
  CommandDevice device(invocation);
  if (device.status() != kExitSuccess) return device.status();
  if (invocation.given(kKeepBeforeOption) && !keepHeldConfiguration(invocation.ui, device.transport(), HistoryEvent::BeforeFirmware)) {
    invocation.ui.information("Nothing was sent to the device.");
    return kExitStopped;
  }
  return exitStatus(uploadFirmware(invocation.ui, device.transport(), image));
}

}  // namespace trekmor::cli
