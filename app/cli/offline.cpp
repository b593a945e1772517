#include "app/cli/offline.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ctime>
#include <optional>

#include "configfile/configfile.h"
#include "configfile/textencoding.h"
#include "platform/ascii.h"
#include "platform/wholefile.h"
#include "device/flows.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor::cli {

std::optional<std::uint32_t> stampSeed(const Invocation& invocation) {
  const std::string* option = invocation.value(kSeedOption);
  if (!option) return static_cast<std::uint32_t>(std::time(nullptr));
  const std::string& text = *option;
  std::uint32_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

namespace {

// Edits to turn one name into the other, letter case ignored.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = asciiLower(a[i - 1]) == asciiLower(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The three known setting names nearest to `name`, nearest first.
std::string closestSettings(std::string_view name) {
  std::vector<std::pair<std::size_t, std::string>> ranked;
  for (const FieldDecl* field : fileSequence(packOrder())) {
    const std::string known = settingName(*field);
    ranked.emplace_back(editDistance(name, known), known);
  }
  const std::size_t shown = std::min<std::size_t>(3, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(shown), ranked.end());
  std::string text;
  for (std::size_t k = 0; k < shown; ++k) text += (k ? ", " : "") + ranked[k].second;
  return text;
}

// Writes every --set value into the file's text; the exit status.
int applyAssignments(const Invocation& invocation, ProfileFile& file) {
  for (const std::string& assignment : invocation.values(kSetOption)) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
      diagnose(invocation, "--set takes SECTION.KEY=VALUE, not '" + assignment + "'");
      return kExitUsage;
    }
    const std::string name = assignment.substr(0, equals);
    const FieldDecl* field = settingNamed(name);
    if (!field) {
      diagnose(invocation, "unknown setting '" + name + "'; the closest known are " + closestSettings(name));
      return kExitUsage;
    }
    // Arguments are UTF-8; the settings are single-byte text, as the load reads them.
    std::string value;
    utf8ToLatin1(std::string_view(assignment).substr(equals + 1), value);
    file.set(field->section, field->key, value);
  }
  return kExitSuccess;
}

}  // namespace

int loadConfigInput(const Invocation& invocation, const std::string& path, FieldStore& fields) {
  std::optional<ProfileFile> file = ProfileFile::read(path);
  if (!file) return cannotRead(invocation, path);
  const int assigned = applyAssignments(invocation, *file);
  if (assigned != kExitSuccess) return assigned;
  fields = FieldStore::withStartValues();
  return exitStatus(loadConfiguration(*file, fields, invocation.ui));
}

int loadImageInput(const Invocation& invocation, const std::string& path, FieldStore& fields) {
  std::error_code error;
  const auto size = std::filesystem::file_size(FileName(path).path(), error);
  if (!error && size != kImageSize) {
    diagnose(invocation, path + " is no configuration image: it holds " + std::to_string(size) + " bytes, not " +
                             std::to_string(kImageSize));
    return kExitStopped;
  }
  const std::optional<std::string> bytes = readWholeFile(path, kImageSize);
  if (!bytes || bytes->size() != kImageSize) return cannotRead(invocation, path);
  Image image{};
  std::copy(bytes->begin(), bytes->end(), image.begin());
  fields = FieldStore::withStartValues();
  return exitStatus(acceptReadImage(image, fields, invocation.ui));
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
  input.status = loadConfigInput(invocation, invocation.arguments[0], input.fields);
  return input;
}

int saveOutput(const Invocation& invocation, const Fields& fields, const std::string& path) {
  const SaveResult result = saveConfiguration(fields, path);
  if (!result) invocation.ui.error(result.message);
  return exitStatus(result);
}

int saveImageOutput(const Invocation& invocation, const Image& image, const std::string& path) {
  const SaveResult result = saveImage(image, path);
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

  return saveImageOutput(invocation, image, invocation.arguments[1]);
}

int runUnpack(const Invocation& invocation) {
  FieldStore fields;
  const int status = loadImageInput(invocation, invocation.arguments[0], fields);
  if (status != kExitSuccess) return status;
  return saveOutput(invocation, fields, invocation.arguments[1]);
}

}  // namespace trekmor::cli
