// Save and load of the settings in a configuration file (.cfg): a header
// section that identifies the file, then every settings field under its key,
// in the order of the groups' file declarations. Both are walks over the
// field declarations; a new settings group needs nothing here.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "configfile/profile.h"
#include "image/image.h"
#include "platform/wholefile.h"
#include "product/product.h"  // kApplicationName and kConfigVersionText of the header
#include "settings/group.h"

namespace trekmor {

inline constexpr std::string_view kHeaderSection = "!WARNING";
inline constexpr std::string_view kWarningText =
    "Please do not try to modify this file. It should be managed with APRS Trekmor configurator program.";
inline constexpr std::string_view kNotConfigurationFileMessage =
    "Imported configuration file is not a APRS Trekmor configuration file. \nOperation aborted.";
inline constexpr std::string_view kOtherVersionMessage =
    "Imported configuration file version is different than your current application version. \n"
    "Please double-check configuration fields after import. \n"
    "Some configuration fields my change between firmware versions.";

// "Unable to write to %s" with the file name in place of %s.
std::string unableToWriteText(std::string_view fileName);

struct SaveResult {
  enum class Status { Ok, ConversionError, WriteFailed };
  Status status = Status::Ok;
  std::string message;  // for the error box
  std::string reason;   // WriteFailed: the system's reason, shown on a line of its own
  explicit operator bool() const { return status == Status::Ok; }
};

// Writes the image's bytes to the file `name` as they are, replacing it in
// one step ("Unable to write to NAME" when it cannot).
SaveResult saveImage(const Image& image, const FileName& name);

enum class LoadResult {
  Loaded,      // every field was set and the finishing rules ran
  Rejected,    // not a configuration file of this tool; nothing changed
  Unreadable,  // the file does not exist or cannot be read; nothing changed
};

// The fields whose keys are saved and loaded, in that order: the groups'
// file orders one after the other.
std::vector<const FieldDecl*> fileSequence(std::span<const Group* const> groups);

// The value a field's key is saved with: the text; a number in plain
// decimal; the selected index; a flag as "1" or "0". Nothing when a number
// field holds no whole number.
std::optional<std::string> fileValue(const FieldDecl& field, const Fields& fields);

// "Radio.Callsign": the section and key a setting is saved under, as the
// command line names settings.
std::string settingName(const FieldDecl& field);

// The field whose setting name is `name`, matched without regard to the case
// of ASCII letters as the load matches sections and keys; nullptr when none.
const FieldDecl* settingNamed(std::string_view name);

// One setting whose file values differ between two sets of fields.
struct SettingDifference {
  const FieldDecl* field;
  std::string a;
  std::string b;
};
// The settings whose file values (or texts, for a number that is not whole)
// differ, in file order.
std::vector<SettingDifference> settingDifferences(const Fields& a, const Fields& b);

// Converts every number field first: when one is not a whole number the save
// stops with the conversion error and the file is not touched. Otherwise
// writes the header and every key into the file, keeping whatever else an
// existing file holds, and replaces the file atomically; `write` puts the new
// content into the file that replaces it.
SaveResult saveConfiguration(const Fields& fields, const FileName& name,
                             const ByteWriter& write = writeAllBytes);
SaveResult saveConfiguration(const Fields& fields, const FileName& name,
                             std::span<const Group* const> groups, const ByteWriter& write = writeAllBytes);

// Tests the header (a wrong application name shows its message through `ui`
// and changes nothing; another version shows its warning and goes on), then
// sets every field from its key, or from its missing value when the key is
// absent or a number is no whole number, runs the rules that follow a
// field's load right after setting it, and finally the rules that end a load. A file
// that cannot be read gets the wrong-application message and, on a line of
// its own, the file's name and why it could not be read.
LoadResult loadConfiguration(const FileName& name, Fields& fields, UserInterface& ui);

// A UTF-8 file (one with a byte-order mark) whose text setting holds a
// character that single-byte text cannot hold, which the reader turns into
// '?': the refusal naming the first such setting; nothing for any other file.
// The load takes such a file only once this says nothing.
std::optional<std::string> unencodableSetting(std::string_view bytes, const ProfileFile& file);
LoadResult loadConfiguration(const ProfileFile& file, Fields& fields, UserInterface& ui);
LoadResult loadConfiguration(const ProfileFile& file, Fields& fields, UserInterface& ui,
                             std::span<const Group* const> groups);

}  // namespace trekmor
