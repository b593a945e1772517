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
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

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

// A fixed width of `chars` characters: the columns of a channel grid
// stay even whatever each channel's maximum length, and the page stays narrow.
void fitToCharacters(QWidget* widget, int chars) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(chars);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // As many digits as `chars` (digits are as wide as average mixed text).
    const QFontMetrics metrics = edit->fontMetrics();
    const int frame = edit->minimumSizeHint().width() - metrics.maxWidth();
    edit->setFixedWidth(metrics.horizontalAdvance(QString(chars, QLatin1Char('0'))) + frame + 4);
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

// Short edits hold callsigns, SSIDs and numbers: upper-case letters and
// digits. They are as wide as that many such characters and half one more for
// the cursor, so that a grid of them stays narrow and even.
void fitShortEdit(QLineEdit* edit, int maxLength) {
  static const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  const QFontMetrics metrics = edit->fontMetrics();
  const int frame = edit->minimumSizeHint().width() - metrics.maxWidth();  // frame and text margins
  const int text = metrics.horizontalAdvance(sample) * (2 * maxLength + 1) / (2 * int(sample.size()));
  edit->setFixedWidth(std::max(edit->minimumSizeHint().width(), text + frame + 4));
}

// Free-text edits: wide enough for about forty average characters at most,
// so that a long field neither stretches across the tab nor shrinks to a slot.
void fitTextEdit(QLineEdit* edit, int maxLength) {
  static const QString sample =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 <>");
  const QFontMetrics metrics = edit->fontMetrics();
  const int frame = edit->minimumSizeHint().width() - metrics.maxWidth();
  const auto width = [&](int chars) { return metrics.horizontalAdvance(sample) * chars / int(sample.size()) + frame + 4; };
  edit->setMinimumWidth(width(std::clamp(maxLength, 10, 42)));
  edit->setMaximumWidth(std::max(edit->minimumWidth(), width(maxLength + 1)));
}

// Tabs inside a tab look like a row of buttons: each tab a framed, rounded
// button, the shown one pressed in the highlight colour; the palette keeps it
// readable in dark and high-contrast themes, and the keyboard focus is marked.
constexpr const char* kButtonRowStyle =
    "QTabBar::tab {"
    "  border: 1px solid palette(mid); border-radius: 3px;"
    "  background: palette(button); color: palette(button-text);"
    "  padding: 3px 9px; margin: 0px 3px 4px 0px;"
    "}"
    "QTabBar::tab:hover { background: palette(light); }"
    "QTabBar::tab:selected {"
    "  background: palette(highlight); color: palette(highlighted-text); border-color: palette(dark);"
    "}"
    "QTabBar::tab:focus { border: 2px solid palette(text); padding: 2px 8px; }";

void styleAsButtonRow(QTabWidget* inner) {
  inner->setDocumentMode(true);
  QTabBar* bar = inner->tabBar();
  bar->setDrawBase(false);
  bar->setExpanding(false);
  bar->setStyleSheet(QString::fromLatin1(kButtonRowStyle));
}

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
  ++m_depth;
  for (const Page& page : pages) tabs->addTab(buildPage(page), qs(page.caption));
  --m_depth;
  if (m_depth > 0) return;
  // Widgets enter the keyboard order as they are made and again whenever a
  // page is moved into its tab control; the declared order is set here, once
  // the whole tree stands.
  const QList<QWidget*> chain = focusChain(tabs);
  for (qsizetype i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QList<QWidget*> FormBuilder::focusChain(QTabWidget* tabs) const {
  QList<QWidget*> chain{tabs->tabBar()};
  for (int i = 0; i < tabs->count(); ++i) {
    QWidget* page = tabs->widget(i);
    chain += m_pageFocus.value(page);
    for (QTabWidget* inner : page->findChildren<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      chain += focusChain(inner);
    }
  }
  return chain;
}

QWidget* FormBuilder::buildPage(const Page& page) {
  auto* widget = new QWidget;
  widget->setObjectName(qs(page.objectName));
  auto* outer = new QVBoxLayout(widget);
  m_focus.clear();
  if (!page.rows.empty()) {
    const auto blockOf = [&page](int column) {
      return int(std::count_if(page.tabBlocks.begin(), page.tabBlocks.end(), [column](int first) { return column >= first; }));
    };
    // Blocks side by side are kept apart by an empty grid column before each
    // of them but the first.
    const auto at = [&blockOf](int column) { return column + blockOf(column); };
    const int declared = columnCount(page);
    const int columns = at(declared - 1) + 1;
    // Rows that stand across the whole page (an explanation, a box, a flow)
    // at its top or bottom are laid out outside the grid, so that they never
    // widen its columns; the others share the grid's columns.
    const auto acrossPage = [](const Row& row) {
      if (row.flow) return true;
      if (row.cells.size() != 1) return false;
      const Cell& cell = row.cells.front();
      return (cell.kind == Cell::Kind::Label && (cell.wrap || cell.span > 1)) || cell.kind == Cell::Kind::GroupBox;
    };
    std::size_t gridBegin = 0;
    while (gridBegin < page.rows.size() && acrossPage(page.rows[gridBegin])) ++gridBegin;
    std::size_t gridEnd = page.rows.size();
    while (gridEnd > gridBegin && acrossPage(page.rows[gridEnd - 1])) --gridEnd;

    const auto addAcross = [&](const Row& row) {
      m_block = 0;
      if (!row.flow) {
        if (QWidget* w = buildCell(row.cells.front(), widget)) outer->addWidget(w);
        return;
      }
      auto* line = new QHBoxLayout;
      for (const Cell& cell : row.cells) line->addWidget(buildCell(cell, widget));
      line->addStretch(1);
      outer->addLayout(line);
    };
    for (std::size_t r = 0; r < gridBegin; ++r) addAcross(page.rows[r]);

    auto* grid = new QGridLayout;
    for (int first : page.tabBlocks) grid->setColumnMinimumWidth(at(first) - 1, widget->fontMetrics().averageCharWidth() * 3);
    for (std::size_t r = gridBegin; r < gridEnd; ++r) {
      const Row& row = page.rows[r];
      const int line = int(r - gridBegin);
      if (row.flow) {
        m_block = 0;
        auto* flow = new QHBoxLayout;
        for (const Cell& cell : row.cells) flow->addWidget(buildCell(cell, widget));
        flow->addStretch(1);
        grid->addLayout(flow, line, 0, 1, columns);
        continue;
      }
      int column = 0;
      for (const Cell& cell : row.cells) {
        m_block = blockOf(column);
        const int first = at(column);
        const int span = at(column + cell.span - 1) - first + 1;
        if (QWidget* w = buildCell(cell, widget)) grid->addWidget(w, line, first, 1, span);
        column += cell.span;
      }
    }
    if (page.stretchColumn >= 0 && page.stretchColumn < declared) {
      // That column takes the spare width; the others keep their natural ones.
      grid->setColumnStretch(at(page.stretchColumn), 1);
      outer->addLayout(grid);
    } else if (page.compact || page.stretchColumn >= declared) {
      // All columns keep their natural widths; the room is left free on the right.
      auto* line = new QHBoxLayout;
      line->addLayout(grid);
      line->addStretch(1);
      outer->addLayout(line);
    } else {
      outer->addLayout(grid);
    }
    for (std::size_t r = gridEnd; r < page.rows.size(); ++r) addAcross(page.rows[r]);
  }
  // Blocks one after the other; within a block the built order, which is
  // row by row and left to right.
  std::stable_sort(m_focus.begin(), m_focus.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  QList<QWidget*>& order = m_pageFocus[widget];
  for (const auto& [block, control] : m_focus) order.push_back(control);
  m_focus.clear();
  if (!page.inner.empty()) {
    auto* inner = new QTabWidget(widget);
    inner->setObjectName(qs(page.innerName));
    // The keyboard reaches the tab bar itself, in its place in the order.
    // Were the control to keep handing its focus on to the bar, its own
    // place (behind its pages, where it was made) would lead the Tab key
    // from the shown page back to the bar.
    inner->setFocusProxy(nullptr);
    inner->setFocusPolicy(Qt::NoFocus);
    styleAsButtonRow(inner);
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
      m_focus.emplace_back(m_block, widget);
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
      // Reachable with the Tab key on every platform, like the fields.
      button->setFocusPolicy(Qt::StrongFocus);
      m_focus.emplace_back(m_block, button);
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
      // As wide as its controls need: the free room stays beside it.
      box->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
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
        if (field.maxLength <= 9) {
          fitShortEdit(edit, field.maxLength);
        } else {
          fitTextEdit(edit, field.maxLength);
        }
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
