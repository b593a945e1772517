// Declarations of settings groups. Each field is declared once (control name,
// caption, hint, choices, maximum length, start value, file key) and each
// image place once (a pack/unpack step); the window, the pack, the unpack, the
// save and the load are all walks over these declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/image.h"
#include "settings/fields.h"
#include "settings/userinterface.h"

namespace trekmor {

// ---- outcome of a pack ------------------------------------------------------
struct PackResult {
  enum class Status { Ok, CheckFailed, ConversionError };
  Status status = Status::Ok;
  std::string message;  // the check message, or the conversion error text

  static PackResult ok() { return {}; }
  static PackResult check(std::string message) { return {Status::CheckFailed, std::move(message)}; }
  static PackResult conversion(std::string message) { return {Status::ConversionError, std::move(message)}; }
  explicit operator bool() const { return status == Status::Ok; }
};

// A rule run on a user's choice, after a load or an unpack, or at start-up.
using Rule = std::function<void(Fields&, UserInterface&)>;

// ---- fields -----------------------------------------------------------------
enum class Widget { Edit, RichEdit, Combo, EditableCombo };
enum class FileForm { Text, Number, Index, Flag };

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
  Rule afterLoad;       // run right after the load has set this field

  bool isCombo() const { return widget == Widget::Combo || widget == Widget::EditableCombo; }
};

// An edit box and a combo box (pick from list). The value used for a missing
// key is the start value; fields whose missing value differs set it after.
FieldDecl editField(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
                    std::string section, std::string key, FileForm form = FileForm::Text);
FieldDecl comboField(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                     int start, std::string section, std::string key, FileForm form = FileForm::Index);

// ---- image steps --------------------------------------------------------------
enum class Encoding { Number, Choice, Text, Address, Character, Zero, Custom };

// How a number field's value is tested. Unsigned and Signed test the value read
// back from the image (so it is truncated to the field width); Parsed tests
// the converted value before it is stored.
enum class RangeCheck { None, Unsigned, Signed, Parsed };

struct PackContext {
  const Fields& fields;
  Image& image;
};

struct UnpackContext {
  const Image& image;
  Fields& fields;
  UserInterface& ui;
};

struct StepDecl {
  Encoding encoding = Encoding::Zero;
  std::string control;      // the field (the name edit of an address)
  std::string ssidControl;  // address: the SSID edit
  std::size_t offset = 0;
  std::size_t width = 1;
  // Number: range test. Address: the SSID message goes into `message`.
  RangeCheck range = RangeCheck::None;
  std::int64_t low = 0;
  std::int64_t high = 0;
  bool zeroAllowed = false;  // "0 or low..high"
  std::string message;
  bool signedValue = false;  // number: shown signed on unpack
  int choiceBase = -1;       // choice: stored as choiceBase - index when >= 0
  std::string emptyMessage;  // text/address: message for an empty text
  std::string freeTextMessage;  // text: message when a byte is not printable ASCII
  bool dropLineBreaks = false;  // text: CR and LF are left out while copying
  std::string label;            // text/address: field name in the too-long message
  std::function<PackResult(PackContext&)> customPack;
  std::function<void(UnpackContext&)> customUnpack;
  Rule afterUnpack;  // run right after the unpack has set this field
};

// Factories keep the group tables short and readable.
StepDecl numberStep(std::string control, std::size_t offset, std::size_t width);
StepDecl numberStep(std::string control, std::size_t offset, std::size_t width, RangeCheck range, std::int64_t low,
                    std::int64_t high, std::string message);
StepDecl choiceStep(std::string control, std::size_t offset, std::size_t width = 1);
StepDecl textStep(std::string control, std::size_t offset, std::size_t width, std::string label);
StepDecl addressStep(std::string name, std::string ssid, std::size_t offset, std::string ssidMessage,
                     std::string label);
StepDecl characterStep(std::string control, std::size_t offset);
StepDecl zeroStep(std::size_t offset, std::size_t width = 1);
StepDecl customStep(std::function<PackResult(PackContext&)> pack, std::function<void(UnpackContext&)> unpack);

// ---- window layout -------------------------------------------------------------
struct Cell {
  enum class Kind { Field, Caption, Label, Button, Inline, Empty, GroupBox };
  Kind kind = Kind::Empty;
  std::string name;  // Field/Caption: control name; Label/Button: objectName (may be empty for labels)
  std::string text;  // Label/Button text
  std::string hint;  // Button tooltip
  int span = 1;      // grid columns taken
  bool wrap = false; // Label: word-wrapped across its span
  int chars = 0;     // Field: width in average characters (0: from the field); keeps grid columns even
  std::vector<Cell> children;  // Inline: cells laid out left to right in one grid cell
  int columns = 0;   // GroupBox: its children fill a grid of this many columns, row by row
};

// A row of a page grid. `flow` rows are laid out left to right on their own,
// not in the page's columns (for example a path row of names, "-" and SSIDs).
struct Row {
  std::vector<Cell> cells;
  bool flow = false;
};

struct Page {
  std::string objectName;
  std::string caption;
  std::vector<Row> rows;
  // Columns keep their natural widths and the spare room stays right of
  // them; false spreads the spare width over all columns.
  bool compact = true;
  // Grid column that takes the spare width, so that the others keep their
  // natural widths (it may lie past the last used column); -1: see compact.
  int stretchColumn = -1;
  // First grid columns of blocks that stand side by side (two small forms
  // beside each other): the keyboard walks each block from top to bottom
  // before the next. Empty: row by row, left to right.
  std::vector<int> tabBlocks;
  std::string innerName;     // objectName of an inner tab control, if any
  std::vector<Page> inner;   // its tabs
};

Cell fieldCell(std::string control, int span = 1);
Cell captionCell(std::string control);
Cell labelCell(std::string text, std::string objectName = {}, int span = 1, bool wrap = false);
Cell buttonCell(std::string objectName, std::string text, std::string hint);
Cell emptyCell(int span = 1);
Cell inlineCell(std::vector<Cell> children, int span = 1);
// A titled box (`text`) whose children fill a grid of `columns` columns.
Cell groupBoxCell(std::string objectName, std::string title, std::vector<Cell> children, int columns, int span = 1);
Row formRow(const std::string& control);           // caption, field
Row wrappedText(std::string text, int span = 4);   // one explanatory paragraph

// objectName of the caption label of a field.
std::string captionName(const std::string& control);

// ---- groups ----------------------------------------------------------------------
struct Group {
  std::string name;
  std::vector<FieldDecl> fields;       // in tab order
  std::vector<StepDecl> steps;         // pack order; the unpack walks the same list
  std::vector<std::string> fileOrder;  // controls in the order their keys are saved and loaded
  Rule afterStart;                     // run after the start values are set while the window is built
  Rule finish;                         // run at the end of the window's construction, an unpack and a load
  std::vector<std::pair<std::string, Rule>> userTriggers;  // combo chosen by the user -> rule
  std::vector<std::pair<std::string, std::function<void(Fields&)>>> buttons;  // button clicked -> action

  const FieldDecl* field(const std::string& control) const;
};

}  // namespace trekmor
