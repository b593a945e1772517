// The window's device buttons against the simulator: what Memo1, the
// progress bar and the boxes show, the command buttons during an upload, and
// the close refused while it runs.
#include <gtest/gtest.h>

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "sim/transport.h"
#include "tests/support/commandbuttons.h"
#include "settings/pipeline.h"
#include "ui/mainwindow.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

using testing::kCommandButtons;

struct Box {
  QtUserInterface::Box kind;
  QString caption;
  QString text;
};

class DeviceWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>();
    window->setTransport(std::make_unique<sim::SimulatedTransport>(device));
    window->setFirmwareImage(std::nullopt);
    window->userInterface().setBoxSink([this](QtUserInterface::Box kind, const QString& caption, const QString& text) {
      boxes.push_back({kind, caption, text});
    });
  }
  template <typename T>
  T* find(const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  void click(const char* button) { find<QPushButton>(button)->click(); }
  QStringList logLines() { return find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n')); }
  bool allButtonsEnabled() {
    for (const char* name : kCommandButtons) {
      if (!find<QPushButton>(name)->isEnabled()) return false;
    }
    return true;
  }
  bool allButtonsDisabled() {
    for (const char* name : kCommandButtons) {
      if (find<QPushButton>(name)->isEnabled()) return false;
    }
    return true;
  }

  sim::DeviceSimulator device;
  std::unique_ptr<MainWindow> window;
  std::vector<Box> boxes;
};

TEST_F(DeviceWindow, WriteThenReadConfigThroughTheButtons) {
  window->setStampSeed(42);
  click("Button_write_config");
  QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 162);
  EXPECT_EQ(lines.front(), QStringLiteral("APRS Trekmor found, vid: Vid_0483, pid: A052"));
  EXPECT_EQ(lines[1], QStringLiteral("Page written: 1/160"));
  EXPECT_EQ(lines[160], QStringLiteral("Page written: 160/160"));
  EXPECT_EQ(lines.back(), QStringLiteral("Eeprom write success"));
  EXPECT_EQ(find<QProgressBar>("ProgressBar1")->maximum(), 160);
  EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 0);
  EXPECT_EQ(device.eeprom(), window->writeImage());
  EXPECT_TRUE(boxes.empty());

  auto* callsign = find<QLineEdit>("Callsign");
  const QString written = callsign->text();
  callsign->setText(QStringLiteral("CHANGE"));
  click("Button_read_config");
  lines = logLines();
  ASSERT_EQ(lines.size(), 162 + 163);
  EXPECT_EQ(lines[162], QStringLiteral("APRS Trekmor found, vid: Vid_0483, pid: A052"));
  EXPECT_EQ(lines[322], QStringLiteral("Page read: 160/160"));
  EXPECT_EQ(lines[323], QStringLiteral("Eeprom read success."));
  EXPECT_EQ(lines[324], QStringLiteral("APRS Trekmor found, vid: Vid_0483, pid: A052"));
  EXPECT_EQ(callsign->text(), written);
  EXPECT_EQ(window->readImage(), window->writeImage());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].kind, QtUserInterface::Box::Plain);
  EXPECT_EQ(boxes[0].text, QString::fromStdString("Firmware version: " + trekmor::testing::version() +
                                                  "\nHardware version: Trekmor HW 2.1\nSerial number: 300024000F5138333536A07F"));
}

TEST_F(DeviceWindow, PackFailureShowsItsBoxAndTouchesNoDevice) {
  find<QLineEdit>("Txtail")->setText(QStringLiteral("1001"));
  click("Button_write_config");
  EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].kind, QtUserInterface::Box::Information);
  EXPECT_EQ(boxes[0].text, QStringLiteral("TX tail - range error (0 - 1000)."));
  EXPECT_TRUE(device.requests().empty());
}

// A character that single-byte text cannot hold is never stored as another:
// Write config and Save to file refuse it, naming the field, before anything
// is packed, the device opened or a file chosen.
TEST_F(DeviceWindow, CharactersBeyondOneByteAreRefusedBeforeThePack) {
  const struct {
    const char* control;
    QString text;
    QString box;
  } cases[] = {
      {"Callsign", QStringLiteral("\u0141\u00D3D\u0179"),
       QStringLiteral("Callsign - character U+0141 cannot be stored: the device holds single-byte (Latin-1) text only.")},
      {"Latitude", QStringLiteral("5223.08\u2116"),
       QStringLiteral("Latitude - character U+2116 cannot be stored: the device holds single-byte (Latin-1) text only.")},
      {"Callsign", QStringLiteral("SP\U0001F600"),
       QStringLiteral("Callsign - character U+1F600 cannot be stored: the device holds single-byte (Latin-1) text only.")},
  };
  for (const auto& c : cases) {
    applyStartValues(window->fields(), window->userInterface());
    find<QLineEdit>(c.control)->setText(c.text);
    for (const char* button : {"Button_write_config", "Button_save_to_file"}) {
      boxes.clear();
      click(button);
      ASSERT_EQ(boxes.size(), 1u) << button;
      EXPECT_EQ(boxes[0].kind, QtUserInterface::Box::Information);
      EXPECT_EQ(boxes[0].text, c.box) << button;
    }
    EXPECT_TRUE(device.requests().empty());
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  }
}

TEST_F(DeviceWindow, UploadWithoutACarriedImageSendsNothing) {
  click("Button_upload_firmware");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("Firmware resource not found (FindResource)."));
  EXPECT_TRUE(device.requests().empty());
  EXPECT_TRUE(allButtonsEnabled());
}

TEST_F(DeviceWindow, ButtonsAreOffAndTheWindowStaysOpenDuringAnUpload) {
  std::vector<std::uint8_t> image(32 * 50, 0x5A);
  window->setFirmwareImage(image);
  window->show();
  bool closedDuringUpload = true;
  bool buttonsOffDuringUpload = false;
  // Runs in the first round of event processing between blocks.
  QTimer::singleShot(0, window.get(), [&] {
    buttonsOffDuringUpload = allButtonsDisabled() && window->uploadRunning();
    closedDuringUpload = window->close() || window->close();
  });
  click("Button_upload_firmware");
  EXPECT_TRUE(buttonsOffDuringUpload);
  EXPECT_FALSE(closedDuringUpload);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->uploadRunning());
  EXPECT_TRUE(allButtonsEnabled());
  EXPECT_EQ(logLines().back(), QStringLiteral("Firmware upgrade success"));
  EXPECT_EQ(logLines().count(QString::fromLatin1(kCloseRefusedDuringUpload)), 2);  // once per refused close
  EXPECT_EQ(device.receivedFirmware(), image);
  EXPECT_TRUE(window->close());  // once the upload is over the window closes
}

TEST_F(DeviceWindow, FailedUploadEnablesTheButtonsAgain) {
  device.settings().faults = {{sim::FaultKind::BlockFail, 9}};
  std::vector<std::uint8_t> image(53248, 0x11);
  window->setFirmwareImage(image);
  click("Button_upload_firmware");
  EXPECT_EQ(logLines().back(), QStringLiteral("Page write error: 10/1664"));
  EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 9);
  EXPECT_TRUE(allButtonsEnabled());
  EXPECT_FALSE(window->uploadRunning());
}

// Records each command button's switch, in order.
class EnabledChanges : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) {
      const auto* widget = static_cast<QWidget*>(watched);
      seen << widget->objectName() + (widget->isEnabled() ? QStringLiteral(" on") : QStringLiteral(" off"));
    }
    return false;
  }
  QStringList seen;
};

TEST_F(DeviceWindow, BusyUploadSwitchesTheFiveButtonsOffAndOnInTheirOrder) {
  std::vector<std::uint8_t> image(32 * 3, 0x5A);
  window->setFirmwareImage(image);
  EnabledChanges changes;
  for (const char* name : kCommandButtons) find<QPushButton>(name)->installEventFilter(&changes);
  QStringList expected;
  for (const char* state : {" off", " on"}) {
    for (const char* name : kCommandButtons) expected << QString::fromLatin1(name) + QString::fromLatin1(state);
  }
  click("Button_upload_firmware");
  EXPECT_EQ(changes.seen, expected);
  EXPECT_EQ(window->commandButtons().size(), 5);
  EXPECT_EQ(device.receivedFirmware(), image);
}

TEST_F(DeviceWindow, AbsentDevice) {
  device.settings().absent = true;
  for (const char* button : {"Button_write_config", "Button_read_config", "Button_upload_firmware"}) click(button);
  EXPECT_EQ(logLines(), QStringList(3, QStringLiteral("APRS Trekmor not found.")));
  EXPECT_TRUE(boxes.empty());
}

// The window as the program builds it, on the platform's own hidapi. Run
// where no tracker can be present (Wine shows programs no HID device).
TEST(DeviceWindowOnHidapi, ReadConfigWithoutATrackerSaysNotFound) {
  if (qEnvironmentVariableIntValue("TREKMOR_EXPECT_NO_TRACKER") != 1) {
    GTEST_SKIP() << "set TREKMOR_EXPECT_NO_TRACKER=1 where no tracker can be connected";
  }
  MainWindow window;
  std::vector<QString> boxes;
  window.userInterface().setBoxSink(
      [&boxes](QtUserInterface::Box, const QString&, const QString& text) { boxes.push_back(text); });
  window.findChild<QPushButton*>(QStringLiteral("Button_read_config"))->click();
  EXPECT_EQ(window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText(),
            QStringLiteral("APRS Trekmor not found."));
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace trekmor
