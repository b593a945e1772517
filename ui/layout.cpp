#include "ui/layout.h"

namespace trekmor {

Cell fieldCell(std::string control, int span) {
  Cell c;
  c.kind = Cell::Kind::Field;
  c.name = std::move(control);
  c.span = span;
  return c;
}

Cell captionCell(std::string control) {
  Cell c;
  c.kind = Cell::Kind::Caption;
  c.name = std::move(control);
  return c;
}

Cell labelCell(std::string text, std::string objectName, int span, bool wrap) {
  Cell c;
  c.kind = Cell::Kind::Label;
  c.text = std::move(text);
  c.name = std::move(objectName);
  c.span = span;
  c.wrap = wrap;
  return c;
}

Cell buttonCell(std::string objectName, std::string text, std::string hint) {
  Cell c;
  c.kind = Cell::Kind::Button;
  c.name = std::move(objectName);
  c.text = std::move(text);
  c.hint = std::move(hint);
  return c;
}

Cell emptyCell(int span) {
  Cell c;
  c.span = span;
  return c;
}

Cell inlineCell(std::vector<Cell> children, int span) {
  Cell c;
  c.kind = Cell::Kind::Inline;
  c.children = std::move(children);
  c.span = span;
  return c;
}

Cell groupBoxCell(std::string objectName, std::string title, std::vector<Cell> children, int columns, int span) {
  Cell c;
  c.kind = Cell::Kind::GroupBox;
  c.name = std::move(objectName);
  c.text = std::move(title);
  c.children = std::move(children);
  c.columns = columns;
  c.span = span;
  return c;
}

Row formRow(const std::string& control) { return Row{{captionCell(control), fieldCell(control)}, false}; }

Row wrappedText(std::string text, int span) { return Row{{labelCell(std::move(text), {}, span, true)}, false}; }

std::string captionName(const std::string& control) { return control + "_label"; }

}  // namespace trekmor
