#include "ui/qtfields.h"

#include <algorithm>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextDocument>

#include "configfile/textencoding.h"
#include "settings/registry.h"

namespace trekmor {

namespace {
const char* const kDeclaredMaxLength = "declaredMaxLength";
QString key(std::string_view control) { return QString::fromLatin1(control.data(), qsizetype(control.size())); }

// The text as typed or pasted, with its lines joined by LF. toPlainText()
// would also turn a no-break space (0xA0) into a blank, so the free-text
// tests would never see it.
QString plainText(const QPlainTextEdit& edit) {
  QString text = edit.document()->toRawText();
  for (QChar& c : text) {
    // Paragraph and line separators, and the frame marks a plain text never has.
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1)) {
      c = QLatin1Char('\n');
    }
  }
  return text;
}
}  // namespace

std::string toSingleByte(const QString& text) {
  std::string out;
  out.reserve(std::size_t(text.size()));
  for (QChar c : text) out.push_back(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '\x7F');
  return out;
}

QString fromSingleByte(std::string_view text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

void QtFields::add(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setProperty(kDeclaredMaxLength, edit->maxLength());
  m_widgets.insert(widget->objectName(), widget);
}

QWidget* QtFields::widget(std::string_view control) const { return m_widgets.value(key(control), nullptr); }

std::string QtFields::text(std::string_view control) const {
  QWidget* w = widget(control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return toSingleByte(edit->text());
  if (auto* rich = qobject_cast<QPlainTextEdit*>(w)) return toSingleByte(plainText(*rich));
  if (auto* combo = qobject_cast<QComboBox*>(w)) return toSingleByte(combo->currentText());
  return {};
}

void QtFields::setText(std::string_view control, std::string_view value) {
  QWidget* w = widget(control);
  const QString text = fromSingleByte(value);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    // The maximum length limits typing only: a longer text set from a file is
    // held whole (QLineEdit would cut it) so that the pack can refuse it.
    const int declared = edit->property(kDeclaredMaxLength).toInt();
    edit->setMaxLength(std::max(declared, int(text.size())));
    edit->setText(text);
  } else if (auto* rich = qobject_cast<QPlainTextEdit*>(w)) {
    rich->setPlainText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) {
    const QSignalBlocker blocker(combo);
    combo->setEditText(text);
  }
}

int QtFields::index(std::string_view control) const {
  auto* combo = qobject_cast<QComboBox*>(widget(control));
  if (!combo) return -1;
  // In an editable list the text shown decides: typed text that is no item
  // counts as no selection, and an item's text (typed or completed) as that
  // item, even before the list has made it current.
  if (combo->isEditable()) return combo->findText(combo->currentText());
  return combo->currentIndex();
}

void QtFields::setIndex(std::string_view control, int value) {
  auto* combo = qobject_cast<QComboBox*>(widget(control));
  if (!combo) return;
  combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

std::optional<std::string> QtFields::unencodableCharacter(bool everyField) const {
  for (const FieldDecl* field : allFields()) {
    const bool checked = !field->text.freeTextMessage.empty() ||
                         std::any_of(field->checks.begin(), field->checks.end(),
                                     [](const TextCheck& check) { return !check.allowed.empty(); });
    if (checked && !everyField) continue;
    QWidget* w = widget(field->control);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) text = edit->text();
    if (auto* rich = qobject_cast<QPlainTextEdit*>(w)) text = plainText(*rich);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) text = combo->currentText();
    for (const char32_t code : text.toUcs4()) {
      if (code <= 0xFF) continue;
      // The field as the window names it: its caption, else the name its messages use.
      std::string name = field->caption.empty() ? field->text.label : field->caption;
      if (name.ends_with(':')) name.pop_back();
      return unencodableText(name.empty() ? field->control : name, code);
    }
  }
  return std::nullopt;
}

bool QtFields::enabled(std::string_view control) const {
  QWidget* w = widget(control);
  return w && w->isEnabled();
}

void QtFields::setEnabled(std::string_view control, bool value) {
  if (QWidget* w = widget(control)) w->setEnabled(value);
}

}  // namespace trekmor
