// The look of the whole window: on every tab and sub-tab, nothing lies outside
// its parent's visible area and no two input controls overlap. Run at device
// pixel ratio 1 and, through a second test entry with QT_SCALE_FACTOR=2, at 2.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "settings/registry.h"
#include "ui/pages.h"
#include "ui/mainwindow.h"

namespace trekmor {
namespace {

bool isInput(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractButton*>(w);
}

// Whether `edit` shows `text` from its first to its last character: with the
// cursor at the end, the first character has not been scrolled out of view.
bool showsWhole(QLineEdit* edit, const QString& text) {
  const QString kept = edit->text();
  edit->setText(text);
  edit->end(false);
  edit->grab();  // the edit works out how far it scrolls while it paints
  const bool whole = edit->cursorPositionAt(QPoint(2, edit->height() / 2)) == 0;
  edit->setText(kept);
  return whole;
}

// Makes every tab on the path to `page` current, so that it is laid out and visible.
void bringToFront(QWidget* page) {
  for (QWidget* w = page; w; w = w->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)) {
      const int index = tabs->indexOf(w);
      if (index >= 0) tabs->setCurrentIndex(index);
    }
  }
}

void collectPages(const std::vector<Page>& pages, std::vector<std::string>& out) {
  for (const Page& p : pages) {
    out.push_back(p.objectName);
    collectPages(p.inner, out);
  }
}

TEST(WindowGeometry, EveryTabShowsItsControlsWhollyAndWithoutOverlap) {
  MainWindow window;
  window.show();
  std::vector<std::string> names;
  collectPages(tabTree(), names);
  ASSERT_GE(names.size(), 30u);
  for (const std::string& name : names) {
    auto* page = window.findChild<QWidget*>(QString::fromStdString(name));
    ASSERT_NE(page, nullptr) << name;
    bringToFront(page);
    QApplication::processEvents();
    ASSERT_TRUE(page->isVisible()) << name;

    std::vector<QWidget*> inputs;
    for (QWidget* child : page->findChildren<QWidget*>()) {
      if (!child->isVisibleTo(page) || !child->isVisible()) continue;
      if (qobject_cast<QTabWidget*>(child->parentWidget()) == nullptr) {
        // Wholly inside the visible area of its parent.
        const QRect inParent = child->geometry();
        EXPECT_TRUE(child->parentWidget()->rect().contains(inParent))
            << name << ": " << child->objectName().toStdString() << " " << child->metaObject()->className()
            << " lies outside its parent";
      }
      if (auto* label = qobject_cast<QLabel*>(child); label && !label->wordWrap() && label->pixmap().isNull()) {
        EXPECT_GE(label->width(), label->sizeHint().width() - 1)
            << name << ": label \"" << label->text().toStdString() << "\" is cut";
      }
      // A closed list shows its longest item whole, beside the arrow.
      if (auto* combo = qobject_cast<QComboBox*>(child); combo && !combo->isEditable()) {
        for (int i = 0; i < combo->count(); ++i) {
          EXPECT_GE(combo->width() - combo->fontMetrics().horizontalAdvance(combo->itemText(i)), 20)
              << name << ": " << combo->objectName().toStdString() << " cuts \"" << combo->itemText(i).toStdString()
              << "\"";
        }
      }
      // An edit shows its whole text, and a short one (a number, a callsign,
      // an SSID) as many digits as it takes, without scrolling.
      if (auto* edit = qobject_cast<QLineEdit*>(child); edit && !edit->text().isEmpty()) {
        EXPECT_TRUE(showsWhole(edit, edit->text())) << name << ": " << edit->objectName().toStdString();
        if (edit->maxLength() <= 9) {
          EXPECT_TRUE(showsWhole(edit, QString(edit->maxLength(), QLatin1Char('0'))))
              << name << ": " << edit->objectName().toStdString();
        }
      }
      if (isInput(child) && child->window() == &window) inputs.push_back(child);
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      for (std::size_t j = i + 1; j < inputs.size(); ++j) {
        if (inputs[i]->isAncestorOf(inputs[j]) || inputs[j]->isAncestorOf(inputs[i])) continue;
        const QRect a(inputs[i]->mapTo(&window, QPoint(0, 0)), inputs[i]->size());
        const QRect b(inputs[j]->mapTo(&window, QPoint(0, 0)), inputs[j]->size());
        EXPECT_FALSE(a.intersects(b)) << name << ": " << inputs[i]->objectName().toStdString() << " overlaps "
                                      << inputs[j]->objectName().toStdString();
      }
    }
  }
}

// The check above can see a scrolled edit: the callsign edit, sized for
// callsigns as they are written, cannot show 32 of the widest letters in any
// font (its maximum length is raised for this; six of them fit in some).
TEST(WindowGeometry, ScrolledTextIsSeen) {
  MainWindow window;
  window.show();
  auto* callsign = window.findChild<QLineEdit*>(QStringLiteral("Callsign"));
  ASSERT_NE(callsign, nullptr);
  QApplication::processEvents();
  EXPECT_TRUE(showsWhole(callsign, QStringLiteral("NOCALL")));
  callsign->setMaxLength(32);
  EXPECT_FALSE(showsWhole(callsign, QString(32, QLatin1Char('W'))));
}

TEST(Accessibility, EverySettingsFieldHasANameAndItsHintAsDescription) {
  MainWindow window;
  for (const FieldDecl* field : allFields()) {
    auto* widget = window.findChild<QWidget*>(QString::fromStdString(field->control));
    ASSERT_NE(widget, nullptr) << field->control;
    EXPECT_FALSE(widget->accessibleName().isEmpty()) << field->control;
    EXPECT_EQ(widget->accessibleDescription(), QString::fromLatin1(field->hint.c_str())) << field->control;
  }
}

}  // namespace
}  // namespace trekmor
