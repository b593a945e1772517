// Finding a setting, comparing the window with a tracker, a file or a history
// entry, and the history window's load and export, through the real window.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "history/store.h"
#include "tests/gui/windowfixture.h"
#include "ui/comparewindow.h"
#include "ui/findsetting.h"
#include "ui/historywindow.h"

namespace trekmor {
namespace {

using testing::MenuWindow;

struct Query {
  const char* text;
  const char* first;         // the control listed first
  const char* tab;           // PageControl1's tab shown once it is chosen
  std::size_t fewestMatches;
};

class FindSetting : public MenuWindow, public ::testing::WithParamInterface<Query> {};

TEST_P(FindSetting, TypedQueryListsMatchesAndEnterShowsTheFirst) {
  const Query& q = GetParam();
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keySequence(window.get(), QKeySequence(QKeySequence::Find));
  auto* finder = window->findChild<FindSettingWindow*>();
  ASSERT_NE(finder, nullptr);
  ASSERT_TRUE(finder->isVisible());
  QTest::keyClicks(finder->queryField(), QString::fromLatin1(q.text));
  QListWidget* matches = finder->matches();
  ASSERT_GE(static_cast<std::size_t>(matches->count()), q.fewestMatches);
  EXPECT_EQ(matches->item(0)->data(Qt::UserRole).toString(), QString::fromLatin1(q.first));
  // Down then Up comes back to the first; Enter chooses it.
  QTest::keyClick(finder->queryField(), Qt::Key_Down);
  if (matches->count() > 1) {
    EXPECT_EQ(matches->currentRow(), 1);
  }
  QTest::keyClick(finder->queryField(), Qt::Key_Up);
  QTest::keyClick(finder->queryField(), Qt::Key_Return);
  EXPECT_FALSE(finder->isVisible());
  auto* pages = find<QTabWidget>("PageControl1");
  EXPECT_EQ(pages->currentWidget()->objectName(), QString::fromLatin1(q.tab));
  QWidget* field = find<QWidget>(q.first);
  EXPECT_TRUE(field->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), field);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, FindSetting,
    ::testing::Values(Query{"Radio.Callsign", "Callsign", "TabSheet_radio", 1},
                      Query{"console baud", "Console_baudrate", "TabSheet_external_interfaces", 1},
                      Query{"gps_BAUD", "GPS_baudrate", "TabSheet_external_interfaces", 1},
                      Query{"NMEA reports", "GPS_baudrate", "TabSheet_external_interfaces", 1},
                      Query{"ssid", "Ssid", "TabSheet_radio", 10}),
    [](const ::testing::TestParamInfo<Query>& info) { return "Query" + std::to_string(info.index); });

TEST(FindSettingMatches, NothingForAnEmptyOrUnknownQueryAndCaptionsBeforeHints) {
  const auto all = [](const FieldDecl&) { return true; };
  EXPECT_TRUE(matchingSettings(QStringLiteral("  "), all).empty());
  EXPECT_TRUE(matchingSettings(QStringLiteral("no such setting"), all).empty());
  const std::vector<const FieldDecl*> baud = matchingSettings(QStringLiteral("baud"), all);
  ASSERT_GE(baud.size(), 3u);
  bool hintOnly = false;
  for (const FieldDecl* field : baud) {
    const bool named = QString::fromStdString(field->caption + field->control + field->section + "." + field->key)
                           .contains(QStringLiteral("baud"), Qt::CaseInsensitive);
    EXPECT_FALSE(hintOnly && named) << field->control << " is named after a setting listed for its hint";
    hintOnly = hintOnly || !named;
  }
}

TEST_F(MenuWindow, CompareWithTrackerListsWhatDiffersAndChangesNothing) {
  find<QPushButton>("Button_write_config")->click();
  // The window then holds what the tracker gives back (an empty SSID as 0).
  find<QPushButton>("Button_read_config")->click();
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3ABC"));
  const int written = device.requests().size();
  action("ActionCompareWithTracker")->trigger();
  auto* compared = window->findChild<CompareWindow*>();
  ASSERT_NE(compared, nullptr);
  QTreeWidget* list = compared->list();
  ASSERT_EQ(list->topLevelItemCount(), 1);
  const QTreeWidgetItem* row = list->topLevelItem(0);
  EXPECT_EQ(row->text(0), QStringLiteral("Callsign"));
  EXPECT_EQ(row->text(1), QStringLiteral("Radio"));
  EXPECT_EQ(row->text(2), QStringLiteral("SP3ABC"));
  EXPECT_EQ(row->text(3), QStringLiteral("NOCALL"));
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("SP3ABC"));
  for (std::size_t k = written; k < device.requests().size(); ++k) {
    EXPECT_NE(device.requests()[k][1], 0x04) << "a page was written while comparing";
  }
  // Choosing the row shows its setting.
  find<QTabWidget>("PageControl1")->setCurrentIndex(3);
  emit list->itemActivated(list->topLevelItem(0), 0);
  EXPECT_EQ(find<QTabWidget>("PageControl1")->currentWidget()->objectName(), QStringLiteral("TabSheet_radio"));
  compared->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  device.settings().absent = true;
  action("ActionCompareWithTracker")->trigger();
  EXPECT_EQ(window->findChild<CompareWindow*>(), nullptr);
  const QStringList lines = logLines();
  EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("APRS Trekmor not found."));
  EXPECT_EQ(lines.back(), QStringLiteral("Nothing to compare: the tracker's configuration was not read."));
}

TEST_F(MenuWindow, CompareWithFileShowsChoicesByTheirText) {
  answers.push_back(file("saved.cfg"));
  find<QPushButton>("Button_save_to_file")->click();
  auto* mode = find<QComboBox>("Console_baudrate");
  mode->setCurrentIndex(1);
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3ABC"));
  answers.push_back(file("saved.cfg"));
  action("ActionCompareWithFile")->trigger();
  EXPECT_EQ(dialogs.back(), QStringLiteral("CompareDialog"));
  auto* compared = window->findChild<CompareWindow*>();
  ASSERT_NE(compared, nullptr);
  QTreeWidget* list = compared->list();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("saved.cfg"));
  const QTreeWidgetItem* baud = list->topLevelItem(1);
  EXPECT_EQ(baud->text(1), QStringLiteral("External interfaces > Serial console"));
  EXPECT_EQ(baud->text(2), QStringLiteral("19200"));
  EXPECT_EQ(baud->text(3), QStringLiteral("115200"));
  EXPECT_TRUE(window->hasUnsavedEdits());  // comparing loaded nothing into the window
}

TEST_F(MenuWindow, HistoryLoadsAnEntryIntoTheWindowAndExportsIt) {
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3ABC"));
  find<QPushButton>("Button_write_config")->click();
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3XYZ"));
  find<QPushButton>("Button_write_config")->click();
  find<QPushButton>("Button_read_config")->click();  // SSIDs as the tracker gives them
  find<QLineEdit>("Callsign")->setText(QStringLiteral("EDITED"));

  action("ActionHistory")->trigger();
  auto* history = window->findChild<HistoryWindow*>();
  ASSERT_NE(history, nullptr);
  QTreeWidget* list = history->list();
  ASSERT_EQ(list->topLevelItemCount(), 3);  // newest first: read, written, written
  EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("300024000F5138333536A07F"));
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("read"));
  EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("written"));
  EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("passes"));
  EXPECT_GE(history->entries()[0].timeUs, history->entries()[1].timeUs);
  EXPECT_GE(history->entries()[1].timeUs, history->entries()[2].timeUs);

  list->setCurrentItem(list->topLevelItem(2));  // the oldest: SP3ABC
  history->findChild<QPushButton*>(QStringLiteral("HistoryCompare"))->click();
  auto* compared = window->findChild<CompareWindow*>();
  ASSERT_NE(compared, nullptr);
  ASSERT_EQ(compared->list()->topLevelItemCount(), 1);
  EXPECT_EQ(compared->list()->topLevelItem(0)->text(3), QStringLiteral("SP3ABC"));

  const int before = device.requests().size();
  history->findChild<QPushButton*>(QStringLiteral("HistoryLoad"))->click();
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("SP3ABC"));
  EXPECT_EQ(lastLogLine(), QStringLiteral("Eeprom read success."));
  EXPECT_FALSE(window->hasUnsavedEdits());
  EXPECT_EQ(device.requests().size(), static_cast<std::size_t>(before));

  for (const char* name : {"old.bin", "old.cfg"}) {
    answers.push_back(file(name));
    history->findChild<QPushButton*>(QStringLiteral("HistoryExport"))->click();
    EXPECT_TRUE(lastLogLine().endsWith(QDir::toNativeSeparators(file(name)))) << name;
  }
  QFile image(file("old.bin"));
  ASSERT_TRUE(image.open(QIODevice::ReadOnly));
  const QByteArray bytes = image.readAll();
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), history->entries()[2].image.begin(),
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  EXPECT_EQ(bytes.size(), static_cast<int>(kImageSize));
  find<QLineEdit>("Callsign")->setText(QStringLiteral("OTHER"));
  window->openFile(file("old.cfg"));
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("SP3ABC"));
}

TEST_F(MenuWindow, AHistoryThatCannotBeReadCostsOneLine) {
  QFile blocker(file("history"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
  blocker.close();
  find<QPushButton>("Button_write_config")->click();
  // Kept once the device is closed: the warning follows the flow's lines.
  EXPECT_EQ(logLines()[logLines().size() - 2], QStringLiteral("Eeprom write success"));
  EXPECT_TRUE(lastLogLine().startsWith(QStringLiteral("the configuration history cannot be written")));
  action("ActionHistory")->trigger();
  auto* history = window->findChild<HistoryWindow*>();
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(history->list()->topLevelItemCount(), 0);
  EXPECT_FALSE(history->findChild<QPushButton*>(QStringLiteral("HistoryLoad"))->isEnabled());
}

}  // namespace
}  // namespace trekmor
