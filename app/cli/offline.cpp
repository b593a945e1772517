#include "app/cli/offline.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ctime>
#include <optional>

#include "configfile/configfile.h"
#include "configfile/wholefile.h"
#include "settings/pipeline.h"

namespace trekmor::cli {

namespace {

// The log lines of "Read config" after its page reads.
constexpr std::string_view kChecksumErrorLine = "Eeprom checksum error. Please reload configuration.";
constexpr std::string_view kReadErrorLine = "Eeprom read error. Please reload configuration.";
constexpr std::string_view kReadSuccessLine = "Eeprom read success.";

int reportSave(const Invocation& invocation, const SaveResult& result) {
  if (result) return kExitSuccess;
  invocation.ui.error(result.message);
  return result.status == SaveResult::Status::ConversionError ? kExitStopped : kExitUsage;
}

}  // namespace

std::optional<std::uint32_t> stampSeed(const Invocation& invocation) {
  const auto option = invocation.options.find("--seed");
  if (option == invocation.options.end()) return static_cast<std::uint32_t>(std::time(nullptr));
  const std::string& text = option->second;
  std::uint32_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

int runDefaults(const Invocation& invocation) {
  const FieldStore fields = FieldStore::withStartValues();
  return reportSave(invocation, saveConfiguration(fields, invocation.arguments[0]));
}

int runPack(const Invocation& invocation) {
  const std::string& input = invocation.arguments[0];
  const std::string& output = invocation.arguments[1];
  const std::optional<std::uint32_t> seed = stampSeed(invocation);
  if (!seed) {
    diagnose(invocation, "--seed takes a whole number from 0 to 4294967295");
    return kExitUsage;
  }
  const std::optional<ProfileFile> file = ProfileFile::read(input);
  if (!file) {
    diagnose(invocation, "cannot read " + input);
    return kExitUsage;
  }
  FieldStore fields = FieldStore::withStartValues();
  if (loadConfiguration(*file, fields, invocation.ui) != LoadResult::Loaded) return kExitStopped;

  Image image{};
  const PackResult packed = packConfigImage(fields, image, *seed);
  if (packed.status == PackResult::Status::CheckFailed) invocation.ui.information(packed.message);
  if (packed.status == PackResult::Status::ConversionError) invocation.ui.error(packed.message);
  if (!packed) return kExitStopped;

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
  const auto size = std::filesystem::file_size(input, error);
  if (!error && size != kImageSize) {
    diagnose(invocation, input + " is no configuration image: it holds " + std::to_string(size) + " bytes, not " +
                             std::to_string(kImageSize));
    return kExitStopped;
  }
  const std::optional<std::string> bytes = readWholeFile(input, kImageSize);
  if (!bytes || bytes->size() != kImageSize) {
    diagnose(invocation, "cannot read " + input);
    return kExitUsage;
  }
  Image image{};
  std::copy(bytes->begin(), bytes->end(), image.begin());
  if (!checkImageIntegrity(image)) {
    invocation.ui.log(kChecksumErrorLine);
    return kExitStopped;
  }
  FieldStore fields = FieldStore::withStartValues();
  if (!unpackConfigImage(image, fields, invocation.ui)) {
    invocation.ui.log(kReadErrorLine);
    return kExitStopped;
  }
  invocation.ui.log(kReadSuccessLine);
  return reportSave(invocation, saveConfiguration(fields, invocation.arguments[1]));
}

}  // namespace trekmor::cli
