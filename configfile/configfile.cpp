#include "configfile/configfile.h"

#include <utility>

#include "configfile/textencoding.h"
#include "image/image.h"
#include "image/numbers.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

// The value a number, index or flag key stands for: the key's integer, or the
// field's missing value when the key is absent or holds no whole number.
int integerOrMissing(const FieldDecl& field, const std::optional<std::string>& value) {
  if (value) {
    if (const auto parsed = parseFileInteger(*value)) return *parsed;
  }
  return parseFileInteger(field.missing).value_or(-1);
}

void loadField(const FieldDecl& field, const ProfileFile& file, Fields& fields) {
  const std::optional<std::string> value = file.value(field.section, field.key);
  switch (field.form) {
    case FileForm::Text:
      fields.setText(field.control, value.value_or(field.missing));
      break;
    case FileForm::Number:
      fields.setText(field.control, std::to_string(integerOrMissing(field, value)));
      break;
    case FileForm::Index:
    case FileForm::Flag:
      // No range test: an index outside the list leaves no selection, which
      // the next pack stores as it stands.
      fields.setIndex(field.control, integerOrMissing(field, value));
      break;
  }
}

// A key of the load: its field, and whether a rule runs right after it is set.
struct LoadStep {
  const FieldDecl* field;
  bool rulesAfter;
};

std::vector<LoadStep> loadSteps(std::span<const Group* const> groups) {
  std::vector<LoadStep> steps;
  for (const FieldDecl* field : fileSequence(groups)) {
    bool rulesAfter = false;
    for (const Group* group : groups) {
      for (const RuleDecl& rule : group->rules) rulesAfter = rulesAfter || rule.afterLoadOf == field->control;
    }
    steps.push_back({field, rulesAfter});
  }
  return steps;
}

// The steps over the registry's groups are the same for every load: worked
// out once. Other groups (tests) get theirs anew.
const std::vector<LoadStep>& loadStepsOf(std::span<const Group* const> groups, std::vector<LoadStep>& own) {
  static const std::vector<LoadStep> registry = loadSteps(packOrder());
  const std::vector<const Group*>& all = packOrder();
  if (groups.data() == all.data() && groups.size() == all.size()) return registry;
  own = loadSteps(groups);
  return own;
}

LoadResult loadFields(const ProfileFile& file, Fields& fields, UserInterface& ui, std::span<const Group* const> groups) {
  // Compared byte by byte: the name in other letter case is another name.
  if (file.value(kHeaderSection, "Application", "unknown") != kApplicationName) {
    ui.information(kNotConfigurationFileMessage);
    return LoadResult::Rejected;
  }
  if (file.value(kHeaderSection, "Version", "unknown") != kConfigVersionText) ui.information(kOtherVersionMessage);

  std::vector<LoadStep> own;
  for (const LoadStep& step : loadStepsOf(groups, own)) {
    loadField(*step.field, file, fields);
    if (step.rulesAfter) runRulesAfter(groups, &RuleDecl::afterLoadOf, step.field->control, fields, ui);
  }
  runRulesAt(groups, &RuleDecl::atLoadEnd, fields, ui);
  return LoadResult::Loaded;
}

}  // namespace

std::string unableToWriteText(std::string_view fileName) { return "Unable to write to " + std::string(fileName); }

std::vector<const FieldDecl*> fileSequence(std::span<const Group* const> groups) {
  std::vector<const FieldDecl*> sequence;
  for (const Group* group : groups) {
    for (const FieldDecl* field : fileRows(*group)) {
      if (!field->key.empty()) sequence.push_back(field);
    }
  }
  return sequence;
}

std::optional<std::string> fileValue(const FieldDecl& field, const Fields& fields) {
  switch (field.form) {
    case FileForm::Text:
      return fields.text(field.control);
    case FileForm::Number: {
      const auto parsed = parseInteger(fields.text(field.control));
      if (!parsed) return std::nullopt;
      return std::to_string(*parsed);
    }
    case FileForm::Index:
      return std::to_string(fields.index(field.control));
    case FileForm::Flag:
      // Anything but the first item, no selection included, is "on".
      return fields.index(field.control) != 0 ? "1" : "0";
  }
  return std::nullopt;
}

std::string settingName(const FieldDecl& field) { return field.section + "." + field.key; }

const FieldDecl* settingNamed(std::string_view name) {
  for (const FieldDecl* field : fileSequence(packOrder())) {
    if (ProfileFile::sameName(settingName(*field), name)) return field;
  }
  return nullptr;
}

std::vector<SettingDifference> settingDifferences(const Fields& a, const Fields& b) {
  std::vector<SettingDifference> differences;
  for (const FieldDecl* field : fileSequence(packOrder())) {
    std::string valueA = fileValue(*field, a).value_or(a.text(field->control));
    std::string valueB = fileValue(*field, b).value_or(b.text(field->control));
    if (valueA != valueB) differences.push_back({field, std::move(valueA), std::move(valueB)});
  }
  return differences;
}

SaveResult saveConfiguration(const Fields& fields, const FileName& name, const ByteWriter& write) {
  return saveConfiguration(fields, name, packOrder(), write);
}

SaveResult saveConfiguration(const Fields& fields, const FileName& name,
                             std::span<const Group* const> groups, const ByteWriter& write) {
  // Every value is formed before the file is touched, so a number field that
  // holds no whole number leaves the file as it was.
  std::vector<std::pair<const FieldDecl*, std::string>> values;
  for (const FieldDecl* field : fileSequence(groups)) {
    std::optional<std::string> value = fileValue(*field, fields);
    if (!value) return {SaveResult::Status::ConversionError, conversionErrorText(fields.text(field->control)), {}};
    values.emplace_back(field, std::move(*value));
  }

  // An existing file keeps what it holds besides our keys; one that exists
  // but cannot be read is not overwritten blindly.
  std::error_code error;
  const bool exists = std::filesystem::exists(name.path(), error);
  ReadFailure unreadable;
  std::optional<ProfileFile> file = exists ? ProfileFile::read(name, &unreadable) : ProfileFile();
  if (error) return {SaveResult::Status::WriteFailed, unableToWriteText(name.utf8()), error.message()};
  if (!file) return {SaveResult::Status::WriteFailed, unableToWriteText(name.utf8()), readFailureText(name.utf8(), unreadable)};

  file->set(kHeaderSection, "WARNING", kWarningText);
  file->set(kHeaderSection, "Application", kApplicationName);
  file->set(kHeaderSection, "Version", kConfigVersionText);
  for (const auto& [field, value] : values) file->set(field->section, field->key, value);
  std::string reason;
  if (!writeFileAtomically(name, file->bytes(), write, &reason)) {
    return {SaveResult::Status::WriteFailed, unableToWriteText(name.utf8()), std::move(reason)};
  }
  return {};
}

SaveResult saveImage(const Image& image, const FileName& name) {
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  std::string reason;
  if (!writeFileAtomically(name, bytes, writeAllBytes, &reason)) {
    return {SaveResult::Status::WriteFailed, unableToWriteText(name.utf8()), std::move(reason)};
  }
  return {};
}

std::optional<std::string> unencodableSetting(std::string_view bytes, const ProfileFile& file) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (!bytes.starts_with(kByteOrderMark) || !firstUnencodable(bytes.substr(kByteOrderMark.size()))) return std::nullopt;
  // The same file with another stand-in for those characters: a value that
  // reads differently held one of them.
  const ProfileFile marked = ProfileFile::fromBytes(
      std::string(kByteOrderMark) + markUnencodable(bytes.substr(kByteOrderMark.size()), "\xC2\x80"));
  for (const FieldDecl* field : fileSequence(packOrder())) {
    if (field->form != FileForm::Text) continue;
    const std::optional<std::string> value = marked.value(field->section, field->key);
    if (value == file.value(field->section, field->key)) continue;
    return unencodableText(settingName(*field), std::nullopt);
  }
  return std::nullopt;
}

LoadResult loadConfiguration(const FileName& name, Fields& fields, UserInterface& ui) {
  ReadFailure failure;
  const std::optional<std::string> bytes = readWholeFile(name, ProfileFile::kMaxSize, &failure);
  const std::optional<ProfileFile> file = bytes ? std::optional(ProfileFile::fromBytes(*bytes)) : std::nullopt;
  if (file) {
    if (const std::optional<std::string> refused = unencodableSetting(*bytes, *file)) {
      ui.information(*refused);
      return LoadResult::Rejected;
    }
  }
  if (!file) {
    // The message the load gives any file it cannot take, then why.
    std::string reason;
    utf8ToLatin1(readFailureText(name.utf8(), failure), reason);
    ui.information(std::string(kNotConfigurationFileMessage) + "\n" + reason);
    return LoadResult::Unreadable;
  }
  return loadConfiguration(*file, fields, ui);
}

LoadResult loadConfiguration(const ProfileFile& file, Fields& fields, UserInterface& ui) {
  return loadFields(file, fields, ui, packOrder());
}

LoadResult loadConfiguration(const ProfileFile& file, Fields& fields, UserInterface& ui,
                             std::span<const Group* const> groups) {
  return loadFields(file, fields, ui, groups);
}

}  // namespace trekmor
