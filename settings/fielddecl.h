// One row per setting: its control name, widget, caption, hint, choices or
// maximum length, start value, configuration-file key and missing value, the
// tab that shows it, its place and encoding in the configuration image, and
// its checks with their exact messages. The widgets, the start values, the
// pack, the unpack, the save and the load are all walks over these rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.h"
#include "image/validators.h"
#include "settings/tabs.h"

namespace trekmor {

enum class Widget { Edit, RichEdit, Combo, EditableCombo };
enum class FileForm { Text, Number, Index, Flag };

struct FieldDecl;

// ---- outcome of a pack ------------------------------------------------------
struct PackResult {
  enum class Status { Ok, CheckFailed, ConversionError };
  Status status = Status::Ok;
  std::string message;  // the check message, or the conversion error text
  const FieldDecl* field = nullptr;  // the row that failed, where it is told (packFailures)

  static PackResult ok() { return {}; }
  static PackResult check(std::string message) { return {Status::CheckFailed, std::move(message), nullptr}; }
  static PackResult conversion(std::string message) { return {Status::ConversionError, std::move(message), nullptr}; }
  explicit operator bool() const { return status == Status::Ok; }
};

// How a setting is held in the image. None: it has no bytes of its own (the
// SSID of an address, whose bytes the name's row packs).
enum class Encoding { None, Number, Choice, Text, Address, Character };

// How a number's value is tested. Unsigned and Signed test the value read
// back from the image (so it is truncated to the field width); Parsed tests
// the converted value before it is stored.
enum class RangeCheck { None, Unsigned, Signed, Parsed };

struct NumberRange {
  RangeCheck check = RangeCheck::None;
  std::int64_t low = 0;
  std::int64_t high = 0;
  bool zeroAllowed = false;  // "0 or low..high"
  std::string message;       // shown when the value is outside
};

// A test of a setting's text that is more than a length: the message shown
// when `passes` says no. Each is a check of its own, before the text is stored.
struct TextCheck {
  bool (*passes)(std::string_view) = nullptr;
  std::string message;
  std::string_view allowed{};  // the characters it lets through, for a test of characters

  // A test of the characters, from its rule.
  static TextCheck characters(const CharacterRule& rule, std::string message) {
    return {rule.passes, std::move(message), rule.allowed};
  }
};

// The tests of a text or an address while it is stored, the first that fails
// giving the outcome.
struct TextRules {
  std::string label;            // the setting's name in the too-long message
  std::string emptyMessage;     // shown for an empty text; empty: an empty text is taken
  std::string freeTextMessage;  // text: shown when a byte is not printable ASCII
  bool dropLineBreaks = false;  // text: CR and LF are left out while copying
  std::size_t exactLength = 0;  // text: the only length taken (0: any that fits)
  std::string lengthMessage;    // shown for another length
  bool (*syntax)(std::string_view) = nullptr;  // text: the form the text must have
  std::string syntaxMessage;
};

// A test of the stored bytes beyond a range (the value against another
// setting's): the message when it fails, empty when it passes.
using ImageCheck = std::function<std::string(const Image&)>;

struct FieldDecl {
  std::string control;  // objectName of the widget and the name used everywhere
  Widget widget = Widget::Edit;
  std::string caption;  // label beside the widget; empty when it has none
  std::string hint;     // tooltip
  std::vector<std::string> choices;
  int maxLength = 0;    // edits; 0 means no limit
  std::string start;    // start text; for combo boxes the start index in decimal
  // configuration file
  std::string section;
  std::string key;
  FileForm form = FileForm::Text;
  std::string missing;  // value used when the key is absent (index/number in decimal)
  const Tab* tab = nullptr;  // the innermost tab (or titled box) that shows it

  // configuration image
  Encoding encoding = Encoding::None;
  std::size_t offset = 0;
  std::size_t width = 0;
  NumberRange range;                // number
  bool signedValue = false;         // number: shown signed on unpack
  int choiceBase = -1;              // choice: stored as choiceBase - index when >= 0
  std::vector<TextCheck> checks;    // text and address: each tested, then the text is stored
  TextRules text;                   // text and address
  const FieldDecl* ssid = nullptr;  // address: the row of its SSID edit
  std::string ssidMessage;          // address: shown when the SSID is no number from 0 to 15
  ImageCheck imageCheck;            // number: tested once the value is stored

  bool isCombo() const { return widget == Widget::Combo || widget == Widget::EditableCombo; }
  bool hasImagePlace() const { return encoding != Encoding::None; }

  // The image place and its checks, written after the field's own facts.
  FieldDecl&& number(std::size_t at, std::size_t bytes) &&;
  FieldDecl&& number(std::size_t at, std::size_t bytes, RangeCheck check, std::int64_t low, std::int64_t high,
                     std::string message) &&;
  FieldDecl&& choice(std::size_t at, std::size_t bytes = 1) &&;
  // A text of at most `bytes - 1` characters and its NUL.
  FieldDecl&& textAt(std::size_t at, std::size_t bytes, std::string label) &&;
  FieldDecl&& character(std::size_t at) &&;
  // The name of an address (name and SSID, 7 bytes); the SSID's row is
  // joined to it when both are added to their group.
  FieldDecl&& address(std::size_t at, std::string ssidMessageText, std::string label) &&;
  FieldDecl&& missingValue(std::string value) &&;
  FieldDecl&& on(const Tab& shownOn) &&;
};

// An edit box and a combo box (pick from list). The value used for a missing
// key is the start value; fields whose missing value differs set it after.
FieldDecl editField(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
                    std::string section, std::string key, FileForm form = FileForm::Text);
FieldDecl comboField(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                     int start, std::string section, std::string key, FileForm form = FileForm::Index);

}  // namespace trekmor
