#include "settings/fielddecl.h"

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

}  // namespace trekmor
