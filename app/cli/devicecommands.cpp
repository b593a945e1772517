#include "app/cli/devicecommands.h"

#include <fstream>
#include <vector>

#include "app/cli/offline.h"
#include "configfile/filename.h"
#include "device/firmware.h"
#include "device/flows.h"
#include "device/protocol.h"

namespace trekmor::cli {

namespace {

// At most one byte more than the device takes, so that a longer file is
// still told apart and refused by the upload itself.
std::optional<std::vector<std::uint8_t>> readFirmwareFile(const std::string& path) {
  std::ifstream in(FileName(path).path(), std::ios::binary);
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
  if (outcome != DeviceOutcome::Done) return exitStatus(outcome);
  return saveOutput(invocation, fields, invocation.arguments[0]);
}

int runWrite(const Invocation& invocation) {
  const PackInput input = loadPackInput(invocation);
  if (input.status != kExitSuccess) return input.status;
  HidapiTransport transport;
  Image image{};
  return exitStatus(writeConfig(input.fields, invocation.ui, transport, image, input.seed));
}

int runInfo(const Invocation& invocation) {
  HidapiTransport transport;
  return exitStatus(showDeviceInformation(invocation.ui, transport));
}

int runUploadFirmware(const Invocation& invocation) {
  std::optional<std::vector<std::uint8_t>> named;
  if (!invocation.arguments.empty()) {
    named = readFirmwareFile(invocation.arguments[0]);
    if (!named) return cannotRead(invocation, invocation.arguments[0]);
  }
  const std::optional<std::span<const std::uint8_t>> image =
      named ? std::optional<std::span<const std::uint8_t>>(*named) : carriedFirmware();
  HidapiTransport transport;
  return exitStatus(uploadFirmware(invocation.ui, transport, image));
}

}  // namespace trekmor::cli
