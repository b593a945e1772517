// The window's layout as data: tab pages, their rows and cells. Cells name
// fields by their control names; tabTree() checks every name against the
// declared fields when it is built.
#pragma once

#include <string>
#include <vector>

namespace trekmor {

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

}  // namespace trekmor
