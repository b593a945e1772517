#include "settings/fielddecl.h"

namespace trekmor {

namespace {
FieldDecl&& placed(FieldDecl& f, Encoding encoding, std::size_t at, std::size_t bytes) {
  f.encoding = encoding;
  f.offset = at;
  f.width = bytes;
  return std::move(f);
}
}  // namespace

FieldDecl&& FieldDecl::number(std::size_t at, std::size_t bytes) && {
  return placed(*this, Encoding::Number, at, bytes);
}

FieldDecl&& FieldDecl::number(std::size_t at, std::size_t bytes, RangeCheck check, std::int64_t low,
                              std::int64_t high, std::string message) && {
  range = {check, low, high, false, std::move(message)};
  return placed(*this, Encoding::Number, at, bytes);
}

FieldDecl&& FieldDecl::choice(std::size_t at, std::size_t bytes) && {
  return placed(*this, Encoding::Choice, at, bytes);
}

FieldDecl&& FieldDecl::textAt(std::size_t at, std::size_t bytes, std::string label) && {
  text.label = std::move(label);
  return placed(*this, Encoding::Text, at, bytes);
}

FieldDecl&& FieldDecl::character(std::size_t at) && { return placed(*this, Encoding::Character, at, 1); }

FieldDecl&& FieldDecl::address(std::size_t at, std::string ssidMessageText, std::string label) && {
  ssidMessage = std::move(ssidMessageText);
  text.label = std::move(label);
  return placed(*this, Encoding::Address, at, 7);
}

FieldDecl&& FieldDecl::missingValue(std::string value) && {
  missing = std::move(value);
  return std::move(*this);
}

FieldDecl&& FieldDecl::on(const Tab& shownOn) && {
  tab = &shownOn;
  return std::move(*this);
}

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

}  // namespace trekmor
