// Keyboard use of the main window: the Tab key walks the command buttons, the
// tab bars and every control of the shown page in a sensible order, reaches
// every button, and comes round again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "settings/registry.h"
#include "ui/pages.h"
#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"

namespace trekmor {
namespace {

using testing::qs;

// The name under which a focused widget is known: a list's own editor counts
// as the list, a tab bar as its tab control.
QString focusName(QWidget* w) {
  if (!w) return QStringLiteral("<none>");
  if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget())) return combo->objectName();
  if (qobject_cast<QTabBar*>(w) && w->parentWidget()) return w->parentWidget()->objectName();
  return w->objectName();
}

void collectPages(const std::vector<Page>& pages, std::vector<const Page*>& out) {
  for (const Page& p : pages) {
    out.push_back(&p);
    collectPages(p.inner, out);
  }
}

class KeyboardTest : public testing::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // Shows `page` with every tab on its way, as a user clicking through would.
  QTabWidget* bringToFront(QWidget* page) {
    QTabWidget* innermost = nullptr;
    for (QWidget* w = page; w && w != window.get(); w = w->parentWidget()) {
      auto* tabs = w->parentWidget() ? qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()) : nullptr;
      if (tabs && tabs->indexOf(w) >= 0) {
        tabs->setCurrentWidget(w);
        if (!innermost) innermost = tabs;
      }
    }
    QApplication::processEvents();
    return innermost;
  }

  // Presses Tab from `start` until the focus reaches `stop` (or gives up) and
  // returns the names met on the way, `stop` included.
  QStringList walk(QWidget* start, const QString& stop, int limit = 120) {
    start->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QStringList met;
    for (int i = 0; i < limit; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      met << focusName(QApplication::focusWidget());
      if (met.back() == stop) break;
    }
    return met;
  }
};

TEST_F(KeyboardTest, CommandButtonsTabsAndTheRadioFormsInTheirDeclaredOrderThenTheLogAndRoundAgain) {
  const QStringList met = walk(find("Button_read_config"), QStringLiteral("Button_read_config"));
  QStringList expected = {"Button_write_config", "Button_upload_firmware", "Button_save_to_file",
                          "Button_read_from_file", "PageControl1"};
  // The Radio tab: the left-hand form top to bottom, then the right-hand one,
  // which is the group's declared order of its fields.
  for (const FieldDecl& f : radioGroup().fields) expected << qs(f.control);
  expected << "Memo1" << "Button_read_config";
  EXPECT_EQ(met, expected);
}

// On every page: starting at the page's own tab bar, the Tab key meets every
// enabled field of the page once, in the order the group declares them (the
// Encoding protocol page goes row by row instead, see below), and every button
// of the page, before the log pane.
TEST_F(KeyboardTest, EveryPageWalksItsFieldsInTheirDeclaredOrderAndReachesItsButtons) {
  std::vector<const Page*> pages;
  collectPages(tabTree(), pages);
  ASSERT_GE(pages.size(), 30u);
  int walked = 0;
  int withFields = 0;
  for (const Page* page : pages) {
    if (!page->rows.empty()) ++withFields;
    if (page->objectName == "TabSheet_encoding_protocol") continue;
    auto* widget = find(page->objectName);
    ASSERT_NE(widget, nullptr) << page->objectName;
    QTabWidget* tabs = bringToFront(widget);
    ASSERT_NE(tabs, nullptr) << page->objectName;
    const QStringList met = walk(tabs->tabBar(), QStringLiteral("Memo1"));
    ASSERT_FALSE(met.isEmpty());
    ASSERT_EQ(met.back(), QStringLiteral("Memo1")) << page->objectName << ": " << met.join(' ').toStdString();

    QStringList expected;  // enabled fields of this page (not of its inner pages), in group order
    QStringList buttons;
    for (const Group* group : packOrder()) {
      for (const FieldDecl& f : group->fields) {
        QWidget* w = find(f.control);
        if (!w || !w->isVisible() || !w->isEnabled()) continue;
        // Only the page's own controls: the nearest enclosing page is this one.
        QWidget* owner = w->parentWidget();
        while (owner && qobject_cast<QTabWidget*>(owner->parentWidget() ? owner->parentWidget()->parentWidget()
                                                                         : nullptr) == nullptr) {
          owner = owner->parentWidget();
        }
        if (owner == widget) expected << qs(f.control);
      }
    }
    for (QPushButton* b : widget->findChildren<QPushButton*>()) {
      if (b->isVisible()) buttons << b->objectName();
    }
    QStringList fieldsMet;
    for (const QString& name : met) {
      if (expected.contains(name)) fieldsMet << name;
    }
    EXPECT_EQ(fieldsMet, expected) << page->objectName;
    for (const QString& b : buttons) EXPECT_EQ(met.count(b), 1) << page->objectName << ": " << b.toStdString();
    if (!expected.isEmpty()) ++walked;
  }
  EXPECT_EQ(walked, withFields - 1);  // all but the Encoding protocol page
}

TEST_F(KeyboardTest, EncodingProtocolGoesRowByRowAndSkipsTheSwitchedOffTime) {
  QTabWidget* tabs = bringToFront(find("TabSheet_encoding_protocol"));
  ASSERT_NE(tabs, nullptr);
  ASSERT_FALSE(find("Position_time")->isEnabled());  // Mic-E is the start value
  const QStringList met = walk(tabs->tabBar(), QStringLiteral("Memo1"));
  const QStringList expected = {
      "Position_report_encoding", "Position_symbol_code", "Mice_message", "Position_symbol_table",
      "Position_path1", "Position_ssid1", "Position_path2", "Position_ssid2", "Position_path3", "Position_ssid3",
      "Position_status_text", "Position_coursespeed", "Position_altitude", "Position_reportonfixlost",
      "Position_fixlost_interval", "Memo1"};
  EXPECT_EQ(met, expected);
}

// Shift+Tab goes the same way back, out of an inner page through its own
// tab bar to the bar of the tabs around it and on to the command buttons.
TEST_F(KeyboardTest, ShiftTabWalksBackTheSameWay) {
  bringToFront(find("TabSheet_wxtm_alarm"));
  QWidget* start = find("Wxtidemarker_alarmbeacon_on_th");
  start->setFocus(Qt::TabFocusReason);
  QStringList met;
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    met << focusName(QApplication::focusWidget());
  }
  const QStringList expected = {"Wxtidemarker_alarmbeacon", "PageControl6", "PageControl4", "PageControl1",
                                "Button_read_from_file", "Button_save_to_file"};
  EXPECT_EQ(met, expected);
}

TEST_F(KeyboardTest, ChannelButtonsFollowTheirChannelsAndSpecialStringsLeadsTheBeacons) {
  QTabWidget* analog = bringToFront(find("TabSheet_analog_channels"));
  ASSERT_NE(analog, nullptr);
  QStringList expected;
  for (int k = 1; k <= 5; ++k) {
    for (const char* part : {"name", "units", "source", "coefa", "coefb", "coefc", "average"}) {
      expected << QStringLiteral("Teleanalog%1_%2").arg(k).arg(QLatin1String(part));
    }
    expected << QStringLiteral("Button_teleanalog%1_default").arg(k);
  }
  expected << "Memo1";
  EXPECT_EQ(walk(analog->tabBar(), QStringLiteral("Memo1")), expected);

  QTabWidget* top = bringToFront(find("TabSheet_beacons"));
  ASSERT_NE(top, nullptr);
  const QStringList met = walk(top->tabBar(), QStringLiteral("Memo1"));
  ASSERT_GE(met.size(), 3);
  EXPECT_EQ(met[0], QStringLiteral("Button_special_strings"));
  EXPECT_EQ(met[1], QStringLiteral("Beacon1_dest_string"));
  EXPECT_EQ(met[met.size() - 2], QStringLiteral("Beacon4_message"));
}

// Enter or Space on a focused button does what a click does.
TEST_F(KeyboardTest, AFocusedDefaultParametersButtonWorksFromTheKeyboard) {
  QTabWidget* digital = bringToFront(find("TabSheet_digital_channels14"));
  ASSERT_NE(digital, nullptr);
  auto* name = find<QWidget>("Teledigital2_name");
  auto* edit = qobject_cast<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr);
  edit->setText(QStringLiteral("XX"));
  auto* button = find<QPushButton>("Button_teledigital2_default");
  const QStringList met = walk(edit, QStringLiteral("Button_teledigital2_default"));
  ASSERT_EQ(met.back(), QStringLiteral("Button_teledigital2_default"));
  EXPECT_TRUE(button->hasFocus());
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_NE(edit->text(), QStringLiteral("XX"));
}

}  // namespace
}  // namespace trekmor
