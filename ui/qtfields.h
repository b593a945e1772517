// Fields over the main window's widgets: the widgets are the only copy of the
// settings. Texts cross this boundary as single-byte Latin-1.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>

#include "settings/fields.h"

namespace trekmor {

// Latin-1 conversion at the UI boundary. Characters that do not fit one byte
// become 0x7F, which every free-text check refuses, instead of being mangled
// into a harmless-looking '?'.
std::string toSingleByte(const QString& text);
QString fromSingleByte(std::string_view text);

class QtFields final : public Fields {
 public:
  // Registers a widget (QLineEdit, QPlainTextEdit, QComboBox or a label) by its objectName.
  void add(QWidget* widget);
  QWidget* widget(std::string_view control) const;

  std::string text(std::string_view control) const override;
  void setText(std::string_view control, std::string_view value) override;
  int index(std::string_view control) const override;
  void setIndex(std::string_view control, int value) override;
  bool enabled(std::string_view control) const override;
  void setEnabled(std::string_view control, bool value) override;

  // The refusal of the first character typed into a text field that
  // single-byte text cannot hold, naming the field; nothing when all fit.
  // Without `everyField`, fields whose own character check refuses it with
  // its message (as the pack does) are left to that check.
  std::optional<std::string> unencodableCharacter(bool everyField) const;

 private:
  QHash<QString, QWidget*> m_widgets;
};

}  // namespace trekmor
