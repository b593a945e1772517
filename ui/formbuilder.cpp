#include "ui/formbuilder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/registry.h"
#include "ui/qtfields.h"

namespace trekmor {

namespace {
QString qs(const std::string& s) { return fromSingleByte(s); }

QString accessibleName(const FieldDecl& field) {
  QString name = qs(field.caption).trimmed();
  while (name.endsWith(QLatin1Char(':'))) name.chop(1);
  if (name.isEmpty()) name = qs(field.hint).section(QLatin1Char('.'), 0, 0).trimmed();
  if (name.isEmpty()) name = qs(field.control);
  return name;
}

// A fixed width of `chars` average characters: the columns of a channel grid
// stay even whatever each channel's maximum length, and the page stays narrow.
void fitToCharacters(QWidget* widget, int chars) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(chars);
  } else {
    const int width = widget->fontMetrics().averageCharWidth() * chars + 12;
    widget->setMinimumWidth(width);
    widget->setMaximumWidth(width);
  }
}
// A multi-line message box: the Enter key inserts no line break, and typing
// or pasting stops at the maximum length. Text set by code (a load) is held
// whole, so that the pack can refuse what does not fit its field.
class MessageEdit final : public QPlainTextEdit {
 public:
  MessageEdit(int maxLength, QWidget* parent) : QPlainTextEdit(parent), m_maxLength(maxLength) {
    setTabChangesFocus(true);
    const int lines = 3;
    setFixedHeight(fontMetrics().lineSpacing() * lines + 2 * (frameWidth() + int(document()->documentMargin())));
    setMinimumWidth(fontMetrics().averageCharWidth() * 42);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      event->ignore();
      return;
    }
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (typing && room() <= 0) return;
    QPlainTextEdit::keyPressEvent(event);
  }

  void insertFromMimeData(const QMimeData* source) override {
    if (m_maxLength <= 0) {
      QPlainTextEdit::insertFromMimeData(source);
      return;
    }
    insertPlainText(source->text().left(std::max(room(), 0)));
  }

 private:
  int room() const {
    if (m_maxLength <= 0) return 1;
    return m_maxLength - int(toPlainText().size()) + int(textCursor().selectedText().size());
  }

  int m_maxLength;
};

int columnCount(const Page& page) {
  int columns = 1;
  for (const Row& row : page.rows) {
    if (row.flow) continue;
    int n = 0;
    for (const Cell& cell : row.cells) n += cell.span;
    columns = std::max(columns, n);
  }
  return columns;
}
}  // namespace

void FormBuilder::addPages(QTabWidget* tabs, const std::vector<Page>& pages) {
  for (const Page& page : pages) tabs->addTab(buildPage(page), qs(page.caption));
}

QWidget* FormBuilder::buildPage(const Page& page) {
  auto* widget = new QWidget;
  widget->setObjectName(qs(page.objectName));
  auto* outer = new QVBoxLayout(widget);
  if (!page.rows.empty()) {
    auto* grid = new QGridLayout;
    const int columns = columnCount(page);
    for (int r = 0; r < int(page.rows.size()); ++r) {
      const Row& row = page.rows[std::size_t(r)];
      if (row.flow) {
        auto* line = new QHBoxLayout;
        for (const Cell& cell : row.cells) line->addWidget(buildCell(cell, widget));
        line->addStretch(1);
        grid->addLayout(line, r, 0, 1, columns);
        continue;
      }
      int column = 0;
      for (const Cell& cell : row.cells) {
        if (QWidget* w = buildCell(cell, widget)) grid->addWidget(w, r, column, 1, cell.span);
        column += cell.span;
      }
    }
    if (page.compact) grid->setColumnStretch(columns, 1);
    if (page.stretchColumn >= 0) grid->setColumnStretch(page.stretchColumn, 1);
    outer->addLayout(grid);
  }
  if (!page.inner.empty()) {
    auto* inner = new QTabWidget(widget);
    inner->setObjectName(qs(page.innerName));
    inner->setDocumentMode(true);
    addPages(inner, page.inner);
    inner->setCurrentIndex(0);
    outer->addWidget(inner);
  }
  outer->addStretch(1);
  return widget;
}

QWidget* FormBuilder::buildCell(const Cell& cell, QWidget* parent) {
  switch (cell.kind) {
    case Cell::Kind::Field: {
      const FieldDecl* field = findField(cell.name);
      if (!field) return nullptr;
      QWidget* widget = buildField(*field, parent);
      if (cell.chars > 0) fitToCharacters(widget, cell.chars);
      return widget;
    }
    case Cell::Kind::Caption: {
      const FieldDecl* field = findField(cell.name);
      auto* label = new QLabel(field ? qs(field->caption) : QString(), parent);
      label->setObjectName(qs(captionName(cell.name)));
      m_fields.add(label);
      return label;
    }
    case Cell::Kind::Label: {
      auto* label = new QLabel(qs(cell.text), parent);
      if (!cell.name.empty()) {
        label->setObjectName(qs(cell.name));
        m_fields.add(label);
      }
      label->setWordWrap(cell.wrap);
      // A wrapped paragraph would otherwise ask for a narrow, tall column, and
      // the fixed-size window would grow to fit that column.
      if (cell.wrap) label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 90);
      return label;
    }
    case Cell::Kind::Button: {
      auto* button = new QPushButton(qs(cell.text), parent);
      button->setObjectName(qs(cell.name));
      if (!cell.hint.empty()) button->setToolTip(qs(cell.hint));
      m_buttons.insert(button->objectName(), button);
      return button;
    }
    case Cell::Kind::Inline: {
      auto* box = new QWidget(parent);
      auto* line = new QHBoxLayout(box);
      line->setContentsMargins(0, 0, 0, 0);
      for (const Cell& child : cell.children) {
        if (QWidget* w = buildCell(child, box)) line->addWidget(w);
      }
      line->addStretch(1);
      return box;
    }
    case Cell::Kind::GroupBox: {
      auto* box = new QGroupBox(qs(cell.text), parent);
      if (!cell.name.empty()) box->setObjectName(qs(cell.name));
      auto* grid = new QGridLayout(box);
      const int columns = std::max(1, cell.columns);
      int position = 0;
      for (const Cell& child : cell.children) {
        if (QWidget* w = buildCell(child, box)) grid->addWidget(w, position / columns, position % columns, 1, child.span);
        position += child.span;
      }
      return box;
    }
    case Cell::Kind::Empty:
      return nullptr;
  }
  return nullptr;
}

QWidget* FormBuilder::buildField(const FieldDecl& field, QWidget* parent) {
  QWidget* widget = nullptr;
  switch (field.widget) {
    case Widget::Edit: {
      auto* edit = new QLineEdit(parent);
      if (field.maxLength > 0) {
        edit->setMaxLength(field.maxLength);
        // Wide enough for the longest text the field takes.
        const int chars = std::clamp(field.maxLength, 2, 40);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * chars / 2 + 16);
        if (field.maxLength <= 9) edit->setMaximumWidth(edit->minimumWidth() + 24);
      }
      widget = edit;
      break;
    }
    case Widget::RichEdit:
      widget = new MessageEdit(field.maxLength, parent);
      break;
    case Widget::Combo:
    case Widget::EditableCombo: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(field.widget == Widget::EditableCombo);
      // Typed text never becomes a new item: the list is the declared one.
      combo->setInsertPolicy(QComboBox::NoInsert);
      for (const std::string& choice : field.choices) combo->addItem(qs(choice));
      combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      widget = combo;
      break;
    }
  }
  widget->setObjectName(qs(field.control));
  if (!field.hint.empty()) widget->setToolTip(qs(field.hint));
  // Screen readers announce the caption (or, for the few fields without one,
  // the hint) and read the hint as the description.
  widget->setAccessibleName(accessibleName(field));
  widget->setAccessibleDescription(qs(field.hint));
  m_fields.add(widget);
  return widget;
}

}  // namespace trekmor
