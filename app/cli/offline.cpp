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
#include "image/numbers.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor::cli {

const char* formName(FileForm form) {
  switch (form) {
    case FileForm::Text:
      return "text";
    case FileForm::Number:
      return "number";
    case FileForm::Index:
      return "index";
    case FileForm::Flag:
      return "flag";
  }
  return "";
}

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

// The three known setting names nearest to `name`, nearest first.
std::string closestSettings(std::string_view name) {
  std::vector<std::string> known;
  for (const FieldDecl* field : fileSequence(packOrder())) known.push_back(settingName(*field));
  return closestNames(name, known);
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
    // What the user typed is never replaced: a number that the key's form
    // cannot hold, or a character that single-byte text cannot, is refused
    // here, where the load would take the missing value or a '?' without a word.
    const std::string_view typed = std::string_view(assignment).substr(equals + 1);
    const std::string setting = settingName(*field);
    if (field->form != FileForm::Text && !parseFileInteger(typed)) {
      diagnose(invocation, "--set " + setting + "=" + std::string(typed) + ": '" + std::string(typed) +
                               "' is not a whole number; " + setting + " takes one from -2147483648 to 2147483647 "
                               "(a " + formName(field->form) + " setting: decimal, or hexadecimal after 0x or $)");
      return kExitUsage;
    }
    if (const std::optional<char32_t> code = firstUnencodable(typed)) {
      diagnose(invocation, "--set " + setting + "=" + std::string(typed) + ": " + unencodableText(setting, *code));
      return kExitUsage;
    }
    // Arguments are UTF-8; the settings are single-byte text, as the load reads them.
    std::string value;
    utf8ToLatin1(typed, value);
    file.set(field->section, field->key, value);
  }
  return kExitSuccess;
}

}  // namespace

int loadConfigInput(const Invocation& invocation, const std::string& path, FieldStore& fields) {
  invocation.ui.setSubject(path);
  ReadFailure failure;
  const std::optional<std::string> bytes = readWholeFile(path, ProfileFile::kMaxSize, &failure);
  if (!bytes) return cannotRead(invocation, path, failure);
  std::optional<ProfileFile> file = ProfileFile::fromBytes(*bytes);
  if (const std::optional<std::string> refused = unencodableSetting(*bytes, *file)) {
    invocation.ui.information(*refused);
    return exitStatus(LoadResult::Rejected);
  }
  const int assigned = applyAssignments(invocation, *file);
  if (assigned != kExitSuccess) return assigned;
  fields = FieldStore::withStartValues();
  return exitStatus(loadConfiguration(*file, fields, invocation.ui));
}

int loadImageInput(const Invocation& invocation, const std::string& path, FieldStore& fields) {
  invocation.ui.setSubject(path);
  std::error_code error;
  const auto size = std::filesystem::file_size(FileName(path).path(), error);
  if (!error && size != kImageSize) {
    diagnose(invocation, path + " is no configuration image: it holds " + std::to_string(size) + " bytes, not " +
                             std::to_string(kImageSize));
    return kExitStopped;
  }
  ReadFailure failure;
  const std::optional<std::string> bytes = readWholeFile(path, kImageSize, &failure);
  if (!bytes) return cannotRead(invocation, path, failure);
  if (bytes->size() != kImageSize) return cannotRead(invocation, path, {ReadFailure::Kind::System, "it changed while being read"});
  Image image{};
  std::copy(bytes->begin(), bytes->end(), image.begin());
  // The tests of "Read config" after its page reads, told as what was done
  // to a file: no device was read.
  if (!checkImageIntegrity(image)) {
    invocation.ui.information(path + " fails the integrity test (its checksum or end marker is wrong).");
    return kExitStopped;
  }
  fields = FieldStore::withStartValues();
  if (!unpackConfigImage(image, fields, invocation.ui)) return kExitStopped;
  invocation.ui.log("Unpacked " + path + ": the integrity and version tests passed.");
  return kExitSuccess;
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

namespace {

// A failed save's error box, the system's reason on a line of its own; the exit status.
int reportSave(const Invocation& invocation, const SaveResult& result, const std::string& path) {
  if (!result) {
    invocation.ui.setSubject(path);
    invocation.ui.error(result.message);
    if (!result.reason.empty()) {
      invocation.err << result.reason << '\n' << std::flush;
      invocation.ui.noteProblem(result.message + ". " + result.reason);
    }
  }
  return exitStatus(result);
}

}  // namespace

int saveOutput(const Invocation& invocation, const Fields& fields, const std::string& path) {
  return reportSave(invocation, saveConfiguration(fields, path), path);
}

int saveImageOutput(const Invocation& invocation, const Image& image, const std::string& path) {
  return reportSave(invocation, saveImage(image, path), path);
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
