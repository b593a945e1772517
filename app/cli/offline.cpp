#include "app/cli/offline.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ctime>
#include <optional>

#include "configfile/configfile.h"
#include "configfile/wholefile.h"
#include "device/flows.h"
#include "settings/pipeline.h"

namespace trekmor::cli {

std::optional<std::uint32_t> stampSeed(const Invocation& invocation) {
  const auto option = invocation.options.find("--seed");
  if (option == invocation.options.end()) return static_cast<std::uint32_t>(std::time(nullptr));
  const std::string& text = option->second;
  std::uint32_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

PackInput loadPackInput(const Invocation& invocation) {
  PackInput input;
  const std::optional<std::uint32_t> seed = stampSeed(invocation);
  if (!seed) {
    diagnose(invocation, "--seed takes a whole number from 0 to 4294967295");
    input.status = kExitUsage;
    return input;
  }
  input.seed = *seed;
  const std::string& path = invocation.arguments[0];
  const std::optional<ProfileFile> file = ProfileFile::read(path);
  if (!file) {
    input.status = cannotRead(invocation, path);
    return input;
  }
  input.fields = FieldStore::withStartValues();
  input.status = exitStatus(loadConfiguration(*file, input.fields, invocation.ui));
  return input;
}

int saveOutput(const Invocation& invocation, const Fields& fields, const std::string& path) {
  const SaveResult result = saveConfiguration(fields, path);
  if (!result) invocation.ui.error(result.message);
  return exitStatus(result);
}

int runDefaults(const Invocation& invocation) {
  return saveOutput(invocation, FieldStore::withStartValues(), invocation.arguments[0]);
}

int runPack(const Invocation& invocation) {
  PackInput input = loadPackInput(invocation);
  if (input.status != kExitSuccess) return input.status;
  Image image{};
  if (!packForDevice(input.fields, invocation.ui, image, input.seed)) return exitStatus(DeviceOutcome::PackFailed);

  const std::string& output = invocation.arguments[1];
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  if (!writeFileAtomically(output, bytes)) {
    invocation.ui.error(unableToWriteText(output));
    return kExitUsage;
  }
  return kExitSuccess;
}

int runUnpack(const Invocation& invocation) {
  const std::string& input = invocation.arguments[0];
  std::error_code error;
  const auto size = std::filesystem::file_size(FileName(input).path(), error);
  if (!error && size != kImageSize) {
    diagnose(invocation, input + " is no configuration image: it holds " + std::to_string(size) + " bytes, not " +
                             std::to_string(kImageSize));
    return kExitStopped;
  }
  const std::optional<std::string> bytes = readWholeFile(input, kImageSize);
  if (!bytes || bytes->size() != kImageSize) return cannotRead(invocation, input);
  Image image{};
  std::copy(bytes->begin(), bytes->end(), image.begin());
  FieldStore fields = FieldStore::withStartValues();
  const DeviceOutcome accepted = acceptReadImage(image, fields, invocation.ui);
  if (accepted != DeviceOutcome::Done) return exitStatus(accepted);
  return saveOutput(invocation, fields, invocation.arguments[1]);
}

}  // namespace trekmor::cli
