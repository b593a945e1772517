// The window's menu bar: its entries with their shortcuts and states during
// an upload, the two write options, the recent files, the file named in the
// log, the choice of tracker and the question before unsaved edits are lost.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "history/store.h"
#include "tests/gui/windowfixture.h"

namespace trekmor {
namespace {

using testing::MenuWindow;

struct MenuEntry {
  const char* action;
  const char* menu;
  const char* text;
  QKeySequence::StandardKey key;
  bool enabledDuringUpload;
};

const MenuEntry kEntries[] = {
    {"ActionOpen", "MenuFile", "&Open\u2026", QKeySequence::Open, false},
    {"ActionSave", "MenuFile", "&Save\u2026", QKeySequence::Save, false},
    {"ActionQuit", "MenuFile", "&Quit", QKeySequence::Quit, true},
    {"ActionReadConfig", "MenuDevice", "&Read config", QKeySequence::UnknownKey, false},
    {"ActionWriteConfig", "MenuDevice", "&Write config", QKeySequence::UnknownKey, false},
    {"ActionUploadFirmware", "MenuDevice", "&Upload firmware", QKeySequence::UnknownKey, false},
    {"ActionUploadFirmwareFromFile", "MenuDevice", "Upload firmware from &file\u2026", QKeySequence::UnknownKey, false},
    {"ActionVerifyAfterWriting", "MenuDevice", "&Verify after writing", QKeySequence::UnknownKey, false},
    {"ActionBackUpBeforeWriting", "MenuDevice", "&Back up before writing", QKeySequence::UnknownKey, false},
    {"ActionHistory", "MenuDevice", "&History\u2026", QKeySequence::UnknownKey, false},
    {"ActionCompareWithTracker", "MenuDevice", "&Compare with tracker\u2026", QKeySequence::UnknownKey, false},
    {"ActionFindSetting", "MenuEdit", "&Find setting\u2026", QKeySequence::Find, false},
    {"ActionCompareWithFile", "MenuEdit", "&Compare with file\u2026", QKeySequence::UnknownKey, false},
    {"ActionManual", "MenuHelp", "&Manual", QKeySequence::HelpContents, true},
    {"ActionAbout", "MenuHelp", "&About", QKeySequence::UnknownKey, true},
};

TEST_F(MenuWindow, EntriesHaveTheirMenuShortcutAndTheButtonsStateDuringAnUpload) {
  const QStringList titles = {QStringLiteral("&File"), QStringLiteral("&Device"), QStringLiteral("&Edit"),
                              QStringLiteral("&Help")};
  QStringList shown;
  for (QAction* menu : window->menuBar()->actions()) shown << menu->text();
  EXPECT_EQ(shown, titles);

  for (const MenuEntry& entry : kEntries) {
    QAction* found = action(entry.action);
    ASSERT_NE(found, nullptr) << entry.action;
    EXPECT_EQ(found->text(), QString::fromUtf8(entry.text)) << entry.action;
    EXPECT_TRUE(find<QMenu>(entry.menu)->actions().contains(found)) << entry.action;
    EXPECT_EQ(found->shortcut(), QKeySequence(entry.key)) << entry.action;
    EXPECT_TRUE(found->isEnabled()) << entry.action;
  }
  // The client area stays as it was, below the bar.
  EXPECT_EQ(window->centralWidget()->y(), window->menuBar()->height());
  EXPECT_EQ(window->height(), window->menuBar()->height() + window->centralWidget()->height());

  std::vector<std::uint8_t> image(32 * 40, 0x5A);
  window->setFirmwareImage(image);
  std::vector<std::pair<const char*, bool>> during;
  QTimer::singleShot(0, window.get(), [&] {
    for (const MenuEntry& entry : kEntries) during.emplace_back(entry.action, action(entry.action)->isEnabled());
    during.emplace_back("MenuTracker", find<QMenu>("MenuTracker")->menuAction()->isEnabled());
    // A shortcut's action that arrives anyway does nothing.
    action("ActionReadConfig")->trigger();
  });
  window->show();
  find<QPushButton>("Button_upload_firmware")->click();
  ASSERT_EQ(during.size(), std::size(kEntries) + 1);
  for (std::size_t k = 0; k < std::size(kEntries); ++k) {
    EXPECT_EQ(during[k].second, kEntries[k].enabledDuringUpload) << during[k].first;
  }
  EXPECT_FALSE(during.back().second);
  EXPECT_EQ(lastLogLine(), QStringLiteral("Firmware upgrade success"));
  EXPECT_EQ(logLines().count(QStringLiteral("Page read: 1/160")), 0);
  for (const MenuEntry& entry : kEntries) EXPECT_TRUE(action(entry.action)->isEnabled()) << entry.action;
}

TEST_F(MenuWindow, StandardShortcutsReachTheirEntries) {
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keySequence(window.get(), QKeySequence(QKeySequence::Open));
  QTest::keySequence(window.get(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(dialogs, (QStringList{QStringLiteral("OpenDialog2"), QStringLiteral("SaveDialog1")}));
  QTest::keySequence(window.get(), QKeySequence(QKeySequence::HelpContents));
  auto* manual = window->findChild<QWidget*>(QStringLiteral("ManualWindow"));
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->findChild<QPlainTextEdit*>()->toPlainText().contains(QStringLiteral("aprs-trekmor-cli")));
  action("ActionAbout")->trigger();
  auto* about = window->findChild<QMessageBox*>(QStringLiteral("AboutBox"));
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->text().contains(QStringLiteral("GPL-3.0-or-later")));
  EXPECT_TRUE(about->text().contains(QString::fromLatin1(qVersion())));
}

TEST_F(MenuWindow, WriteOptionsAreOffAtFirstAndRemembered) {
  EXPECT_FALSE(action("ActionVerifyAfterWriting")->isChecked());
  EXPECT_FALSE(action("ActionBackUpBeforeWriting")->isChecked());
  // Off: Write config logs exactly its own lines.
  find<QPushButton>("Button_write_config")->click();
  EXPECT_EQ(logLines().size(), 162);
  EXPECT_EQ(lastLogLine(), QStringLiteral("Eeprom write success"));

  action("ActionVerifyAfterWriting")->trigger();
  window = makeWindow();
  EXPECT_TRUE(action("ActionVerifyAfterWriting")->isChecked());
  EXPECT_FALSE(action("ActionBackUpBeforeWriting")->isChecked());
}

TEST_F(MenuWindow, VerifyAfterWritingEndsWithItsFinding) {
  action("ActionVerifyAfterWriting")->setChecked(true);
  find<QPushButton>("Button_write_config")->click();
  EXPECT_EQ(lastLogLine(), QStringLiteral("Verified: all 160 pages read back as written."));

  device.settings().faults = {{sim::FaultKind::Corrupt, 1}};
  find<QPushButton>("Button_write_config")->click();
  // The simulator counts pages from 0, the log from 1.
  EXPECT_EQ(lastLogLine(), QStringLiteral("Verification failed: page 2/160 read back differs from what was written. "
                                          "Settings whose bytes differ: Radio.Quiettime"));
}

// A named firmware file is looked at before anything is sent: one that cannot
// be read gives the system's reason, one that is for certain no firmware image
// says why; a file that may be one is uploaded.
TEST_F(MenuWindow, UploadFirmwareFromFileSendsOnlyWhatMayBeAnImage) {
  QFile text(file("notes.txt"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("A firmware image holds bytes that are no characters.\n");
  text.close();
  answers = {file("notes.cfg")};
  action("ActionSave")->trigger();
  QFile binary(file("fw.bin"));
  ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
  binary.write(QByteArray(64, '\0') + QByteArray(64, '\xA5'));
  binary.close();

  const struct {
    const char* name;
    QString line;
  } refused[] = {
      {"missing.bin", QStringLiteral("Unable to read %1: No such file or directory. Nothing was sent to the device.")},
      {"notes.txt", QStringLiteral("%1 is not a firmware image: it is text. Nothing was sent to the device.")},
      {"notes.cfg",
       QStringLiteral("%1 is not a firmware image: it is a configuration file (.cfg). Nothing was sent to the device.")},
  };
  for (const auto& c : refused) {
    device.clearRequests();
    answers = {file(c.name)};
    action("ActionUploadFirmwareFromFile")->trigger();
    EXPECT_EQ(lastLogLine(), c.line.arg(QDir::toNativeSeparators(file(c.name)))) << c.name;
    EXPECT_TRUE(device.requests().empty()) << c.name;
  }
  answers = {file("fw.bin")};
  action("ActionUploadFirmwareFromFile")->trigger();
  ASSERT_FALSE(device.firmwareBlocks().empty());
  EXPECT_EQ(device.firmwareBlocks().begin()->second[0], 0);
}

TEST_F(MenuWindow, BackUpBeforeWritingKeepsTheHeldImageOrWritesNothing) {
  find<QPushButton>("Button_write_config")->click();  // an image that passes its tests
  action("ActionBackUpBeforeWriting")->setChecked(true);
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3ABC"));
  find<QPushButton>("Button_write_config")->click();
  const std::vector<HistoryEntry> entries = window->history()->entries({});
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].event, HistoryEvent::Written);
  EXPECT_EQ(entries[1].event, HistoryEvent::BeforeWrite);
  EXPECT_EQ(entries[1].image, entries[2].image);

  const auto held = device.eeprom();
  device.settings().faults = {{sim::FaultKind::ReadBadCommand, 5}};
  device.clearRequests();
  find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3XYZ"));
  find<QPushButton>("Button_write_config")->click();
  EXPECT_EQ(lastLogLine(), QStringLiteral("Nothing was written to the device."));
  EXPECT_EQ(device.eeprom(), held);
  EXPECT_TRUE(boxes.contains(QStringLiteral("The device's configuration could not be read to keep it in the history.")));
}

TEST_F(MenuWindow, RecentFilesKeepTheLastEightAndDropAFileThatHasGone) {
  for (int k = 0; k < 9; ++k) {
    const QString name = file("f") + QString::number(k) + QStringLiteral(".cfg");
    answers.push_back(name);
    find<QPushButton>("Button_save_to_file")->click();
    EXPECT_EQ(lastLogLine(), QStringLiteral("Configuration saved to ") + QDir::toNativeSeparators(name));
  }
  window = makeWindow();  // remembered by a new window
  QList<QAction*> recent = find<QMenu>("MenuRecent")->actions();
  ASSERT_EQ(recent.size(), 8);
  EXPECT_TRUE(recent.front()->text().endsWith(QStringLiteral("f8.cfg")));
  EXPECT_TRUE(recent.back()->text().endsWith(QStringLiteral("f1.cfg")));

  find<QLineEdit>("Callsign")->setText(QStringLiteral("CHANGE"));
  recent[3]->trigger();  // f5.cfg
  EXPECT_EQ(lastLogLine(), QStringLiteral("Configuration loaded from ") + QDir::toNativeSeparators(file("f5.cfg")));
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("NOCALL"));
  recent = find<QMenu>("MenuRecent")->actions();
  EXPECT_TRUE(recent.front()->text().endsWith(QStringLiteral("f5.cfg")));

  ASSERT_TRUE(QFile::remove(file("f7.cfg")));
  recent[2]->trigger();
  EXPECT_EQ(lastLogLine(), QDir::toNativeSeparators(file("f7.cfg")) +
                               QStringLiteral(" no longer exists and is removed from the recent files."));
  recent = find<QMenu>("MenuRecent")->actions();
  EXPECT_EQ(recent.size(), 7);
  for (QAction* entry : recent) EXPECT_FALSE(entry->text().endsWith(QStringLiteral("f7.cfg")));
}

TEST_F(MenuWindow, TheLogNamesOnlyAFileThatWasLoadedOrSaved) {
  QFile foreign(file("foreign.cfg"));
  ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  foreign.write("[Other]\nKey=1\n");
  foreign.close();
  window->openFile(file("foreign.cfg"));
  EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_TRUE(find<QMenu>("MenuRecent")->actions().isEmpty());

  find<QLineEdit>("Txtail")->setText(QStringLiteral("x"));
  answers.push_back(file("bad.cfg"));
  find<QPushButton>("Button_save_to_file")->click();  // a conversion error: nothing saved
  EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  EXPECT_FALSE(QFile::exists(file("bad.cfg")));
}

// Several trackers: a transport that holds two simulators and opens the chosen one.
class TwoTrackers final : public HidTransport {
 public:
  TwoTrackers(sim::DeviceSimulator& a, sim::DeviceSimulator& b) : m_a(a), m_b(b) {}
  OpenResult open() override { return current().open(); }
  void close() override {
    m_first.close();
    m_second.close();
  }
  bool send(const Report& request) override { return current().send(request); }
  bool receive(Report& reply, std::chrono::milliseconds timeout) override { return current().receive(reply, timeout); }
  std::vector<TrackerInfo> trackers() override {
    std::vector<TrackerInfo> present;
    for (auto [device, path] : {std::pair{&m_a, "one"}, std::pair{&m_b, "two"}}) {
      if (device->present()) present.push_back({path, sim::serialText(device->settings().serial)});
    }
    return present;
  }

 private:
  sim::SimulatedTransport& current() { return chosenPath() == std::optional<std::string>("two") ? m_second : m_first; }
  sim::DeviceSimulator& m_a;
  sim::DeviceSimulator& m_b;
  sim::SimulatedTransport m_first{m_a};
  sim::SimulatedTransport m_second{m_b};
};

TEST_F(MenuWindow, SeveralTrackersWaitForAChoiceThatGoesWithItsTracker) {
  sim::Settings second;
  second.serial.back() = 0x80;
  sim::DeviceSimulator other(second);
  window->setTransport(std::make_unique<TwoTrackers>(device, other));
  QMenu* trackers = find<QMenu>("MenuTracker");
  emit trackers->aboutToShow();
  ASSERT_EQ(trackers->actions().size(), 2);
  EXPECT_EQ(trackers->actions()[1]->text(), QStringLiteral("300024000F5138333536A080"));
  EXPECT_FALSE(trackers->actions()[0]->isChecked());

  find<QPushButton>("Button_read_config")->click();
  EXPECT_EQ(lastLogLine(), QStringLiteral("Several APRS Trekmor trackers are connected; choose one in Device > Tracker."));
  EXPECT_TRUE(device.requests().empty());
  EXPECT_TRUE(other.requests().empty());

  trackers->actions()[1]->trigger();
  find<QPushButton>("Button_write_config")->click();
  EXPECT_EQ(lastLogLine(), QStringLiteral("Eeprom write success"));
  EXPECT_TRUE(device.requests().empty());
  EXPECT_EQ(window->writeImage(), other.eeprom());

  other.settings().absent = true;  // unplugged: the choice is forgotten
  emit trackers->aboutToShow();
  EXPECT_FALSE(window->chosenTracker().has_value());
  ASSERT_EQ(trackers->actions().size(), 1);
  EXPECT_FALSE(trackers->actions()[0]->isEnabled());
  EXPECT_TRUE(trackers->actions()[0]->isChecked());
}

struct CloseCase {
  const char* name;
  bool edit;
  int answer;  // what the user answers, if asked
  bool asked;
  bool closed;
};

class CloseQuestion : public MenuWindow, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestion, AsksOnlyWhenEditsWouldBeLost) {
  const CloseCase& c = GetParam();
  if (c.edit) find<QLineEdit>("Callsign")->setText(QStringLiteral("SP3ABC"));
  bool asked = false;
  window->setCloseQuestion([&](QMessageBox& question) {
    asked = true;
    EXPECT_TRUE(question.button(QMessageBox::Close) && question.button(QMessageBox::Cancel) &&
                question.button(QMessageBox::Save));
    return c.answer;
  });
  answers.push_back(file("kept.cfg"));
  window->show();
  EXPECT_EQ(window->close(), c.closed);
  EXPECT_EQ(asked, c.asked);
  EXPECT_EQ(QFile::exists(file("kept.cfg")), c.answer == QMessageBox::Save && c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CloseQuestion,
    ::testing::Values(CloseCase{"Unedited", false, QMessageBox::Cancel, false, true},
                      CloseCase{"Cancel", true, QMessageBox::Cancel, true, false},
                      CloseCase{"Close", true, QMessageBox::Close, true, true},
                      CloseCase{"Save", true, QMessageBox::Save, true, true}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(MenuWindow, ReadWrittenLoadedOrSavedSettingsCloseWithoutAQuestion) {
  int asked = 0;
  window->setCloseQuestion([&](QMessageBox&) {
    ++asked;
    return int(QMessageBox::Cancel);
  });
  auto* callsign = find<QLineEdit>("Callsign");
  callsign->setText(QStringLiteral("SP3ABC"));
  find<QPushButton>("Button_write_config")->click();
  EXPECT_FALSE(window->hasUnsavedEdits());
  callsign->setText(QStringLiteral("SP3ABD"));
  EXPECT_TRUE(window->hasUnsavedEdits());
  find<QPushButton>("Button_read_config")->click();
  EXPECT_FALSE(window->hasUnsavedEdits());
  EXPECT_EQ(callsign->text(), QStringLiteral("SP3ABC"));
  callsign->setText(QStringLiteral("SP3ABD"));
  answers.push_back(file("a.cfg"));
  find<QPushButton>("Button_save_to_file")->click();
  callsign->setText(QStringLiteral("SP3ABE"));
  window->openFile(file("a.cfg"));
  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace trekmor
