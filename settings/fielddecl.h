// The declaration of one settings field: its control name, widget, caption,
// hint, choices or maximum length, start value and configuration-file key.
// The window's widgets, the start values, the save and the load are all built
// from these declarations.
#pragma once

#include <string>
#include <vector>

namespace trekmor {

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

  bool isCombo() const { return widget == Widget::Combo || widget == Widget::EditableCombo; }
};

// An edit box and a combo box (pick from list). The value used for a missing
// key is the start value; fields whose missing value differs set it after.
FieldDecl editField(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
                    std::string section, std::string key, FileForm form = FileForm::Text);
FieldDecl comboField(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                     int start, std::string section, std::string key, FileForm form = FileForm::Index);

}  // namespace trekmor
