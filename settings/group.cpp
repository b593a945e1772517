#include "settings/group.h"

namespace trekmor {

FieldDecl editField(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
                    std::string section, std::string key, FileForm form) {
  FieldDecl f;
  f.control = std::move(control);
  f.caption = std::move(caption);
  f.hint = std::move(hint);
  f.maxLength = maxLength;
  f.start = start;
  f.section = std::move(section);
  f.key = std::move(key);
  f.form = form;
  f.missing = std::move(start);
  return f;
}

FieldDecl comboField(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                     int start, std::string section, std::string key, FileForm form) {
  FieldDecl f;
  f.control = std::move(control);
  f.widget = Widget::Combo;
  f.caption = std::move(caption);
  f.hint = std::move(hint);
  f.choices = std::move(choices);
  f.start = std::to_string(start);
  f.section = std::move(section);
  f.key = std::move(key);
  f.form = form;
  f.missing = f.start;
  return f;
}

StepDecl numberStep(std::string control, std::size_t offset, std::size_t width) {
  StepDecl s;
  s.encoding = Encoding::Number;
  s.control = std::move(control);
  s.offset = offset;
  s.width = width;
  return s;
}

StepDecl numberStep(std::string control, std::size_t offset, std::size_t width, RangeCheck range, std::int64_t low,
                    std::int64_t high, std::string message) {
  StepDecl s = numberStep(std::move(control), offset, width);
  s.range = range;
  s.low = low;
  s.high = high;
  s.message = std::move(message);
  return s;
}

StepDecl choiceStep(std::string control, std::size_t offset, std::size_t width) {
  StepDecl s;
  s.encoding = Encoding::Choice;
  s.control = std::move(control);
  s.offset = offset;
  s.width = width;
  return s;
}

StepDecl textStep(std::string control, std::size_t offset, std::size_t width, std::string label) {
  StepDecl s;
  s.encoding = Encoding::Text;
  s.control = std::move(control);
  s.offset = offset;
  s.width = width;
  s.label = std::move(label);
  return s;
}

StepDecl addressStep(std::string name, std::string ssid, std::size_t offset, std::string ssidMessage,
                     std::string label) {
  StepDecl s;
  s.encoding = Encoding::Address;
  s.control = std::move(name);
  s.ssidControl = std::move(ssid);
  s.offset = offset;
  s.width = 7;
  s.message = std::move(ssidMessage);
  s.label = std::move(label);
  return s;
}

StepDecl characterStep(std::string control, std::size_t offset) {
  StepDecl s;
  s.encoding = Encoding::Character;
  s.control = std::move(control);
  s.offset = offset;
  return s;
}

StepDecl zeroStep(std::size_t offset, std::size_t width) {
  StepDecl s;
  s.encoding = Encoding::Zero;
  s.offset = offset;
  s.width = width;
  return s;
}

StepDecl customStep(std::function<PackResult(PackContext&)> pack, std::function<void(UnpackContext&)> unpack) {
  StepDecl s;
  s.encoding = Encoding::Custom;
  s.customPack = std::move(pack);
  s.customUnpack = std::move(unpack);
  return s;
}

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

const FieldDecl* Group::field(const std::string& control) const {
  for (const auto& f : fields) {
    if (f.control == control) return &f;
  }
  return nullptr;
}

}  // namespace trekmor
