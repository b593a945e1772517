#include "app/cli/devicecommands.h"

#include <fstream>
#include <vector>

#include "app/cli/offline.h"
#include "configfile/configfile.h"
#include "device/firmware.h"
#include "device/flows.h"
#include "device/protocol.h"

namespace trekmor::cli {

namespace {

int statusOf(DeviceOutcome outcome) { return outcome == DeviceOutcome::Done ? kExitSuccess : kExitStopped; }

// At most one byte more than the device takes, so that a longer file is
// still told apart and refused by the upload itself.
std::optional<std::vector<std::uint8_t>> readFirmwareFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(kFirmwareMaxSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace

int runRead(const Invocation& invocation) {
  HidapiTransport transport;
  FieldStore fields = FieldStore::withStartValues();
  Image image{};
  const DeviceOutcome outcome = readConfig(fields, invocation.ui, transport, image);
  if (outcome != DeviceOutcome::Done) return statusOf(outcome);
  const SaveResult saved = saveConfiguration(fields, invocation.arguments[0]);
  if (saved) return kExitSuccess;
  invocation.ui.error(saved.message);
  return saved.status == SaveResult::Status::ConversionError ? kExitStopped : kExitUsage;
}

int runWrite(const Invocation& invocation) {
  const std::optional<std::uint32_t> seed = stampSeed(invocation);
  if (!seed) {
    diagnose(invocation, "--seed takes a whole number from 0 to 4294967295");
    return kExitUsage;
  }
  const std::string& input = invocation.arguments[0];
  const std::optional<ProfileFile> file = ProfileFile::read(input);
  if (!file) {
    diagnose(invocation, "cannot read " + input);
    return kExitUsage;
  }
  FieldStore fields = FieldStore::withStartValues();
  if (loadConfiguration(*file, fields, invocation.ui) != LoadResult::Loaded) return kExitStopped;
  HidapiTransport transport;
  Image image{};
  return statusOf(writeConfig(fields, invocation.ui, transport, image, *seed));
}

int runInfo(const Invocation& invocation) {
  HidapiTransport transport;
  return statusOf(showDeviceInformation(invocation.ui, transport));
}

int runUploadFirmware(const Invocation& invocation) {
  std::optional<std::vector<std::uint8_t>> named;
  if (!invocation.arguments.empty()) {
    named = readFirmwareFile(invocation.arguments[0]);
    if (!named) {
      diagnose(invocation, "cannot read " + invocation.arguments[0]);
      return kExitUsage;
    }
  }
  const std::optional<std::span<const std::uint8_t>> image =
      named ? std::optional<std::span<const std::uint8_t>>(*named) : carriedFirmware();
  HidapiTransport transport;
  FieldStore fields;  // no buttons to switch off here
  return statusOf(uploadFirmware(fields, invocation.ui, transport, image));
}

}  // namespace trekmor::cli
