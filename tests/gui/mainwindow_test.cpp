#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "settings/registry.h"
#include "ui/pages.h"
#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

using testing::qs;

class MainWindowTest : public testing::WindowFixture {
 protected:
};

TEST_F(MainWindowTest, CaptionFixedSizeAndStartState) {
  EXPECT_EQ(window->windowTitle(), QString::fromStdString("APRS Trekmor Configurator " + trekmor::testing::configVersion()));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  auto* pages = find<QTabWidget>("PageControl1");
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("TabSheet_radio"));
  auto* memo = find<QPlainTextEdit>("Memo1");
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  auto* progress = find<QProgressBar>("ProgressBar1");
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->value(), 0);
  EXPECT_EQ(progress->maximum(), 100);
  EXPECT_NE(find<QWidget>("Image1"), nullptr);
  EXPECT_NE(find<QWidget>("Image2"), nullptr);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, FixedControlsCarryTheirCaptionsAndHints) {
  struct Expected {
    const char* name;
    const char* caption;
    const char* hint;
  };
  const Expected buttons[] = {
      {"Button_read_config", "Read config", "Reads current configuration from device."},
      {"Button_write_config", "Write config", "Writes current configuration to device."},
      {"Button_upload_firmware", "Upload firmware", "Uploads firmware to device."},
      {"Button_save_to_file", "Save to file", "Saves current configuration from Configurator application to file."},
      {"Button_read_from_file", "Read from file", "Reads current configuration from file to Configurator application."},
  };
  for (const auto& b : buttons) {
    auto* button = find<QPushButton>(b.name);
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_EQ(button->text(), QString::fromLatin1(b.caption));
    EXPECT_EQ(button->toolTip(), QString::fromLatin1(b.hint));
  }
  EXPECT_EQ(find<QWidget>("GroupBox3")->property("title").toString(), QStringLiteral("Connection:"));
  EXPECT_EQ(find<QWidget>("GroupBox1")->property("title").toString(), QStringLiteral("Configuration import/export:"));
}

TEST_F(MainWindowTest, TabTreeHasEveryTabInOrder) {
  struct Tab {
    const char* control;  // the tab control holding it
    const char* name;
    const char* caption;
  };
  const Tab tabs[] = {
      {"PageControl1", "TabSheet_radio", "Radio"},
      {"PageControl1", "TabSheet_position_reports", "Position reports"},
      {"PageControl1", "TabSheet_digipeater", "Digipeater"},
      {"PageControl1", "TabSheet_beacons", "Beacons"},
      {"PageControl1", "TabSheet_telemetry_reports", "Telemetry reports"},
      {"PageControl1", "TabSheet_weather_reports", "Weather reports"},
      {"PageControl1", "TabSheet_external_interfaces", "External interfaces"},
      {"PageControl1", "TabSheet_testtone", "Test tone"},
  };
  auto* top = find<QTabWidget>("PageControl1");
  ASSERT_EQ(top->count(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(top->widget(i)->objectName(), QString::fromLatin1(tabs[i].name));
    EXPECT_EQ(top->tabText(i), QString::fromLatin1(tabs[i].caption));
  }
  const std::pair<const char*, std::vector<const char*>> inner[] = {
      {"PageControl5",
       {"Report mode", "Encoding protocol", "SmartBeaconing", "Fixed time interval", "GPS-synchronized reports"}},
      {"PageControl3", {"Common settings", "Simple aliases"}},
      {"PageControl2",
       {"Report settings", "Analog channels", "Digital channels 1-4", "Digital channels 5-8", "WXPins outputs"}},
      {"PageControl4",
       {"Serial ports", "Bluetooth", "RS-485 port", "Weather station", "Serial console", "GPS receiver", "KISS",
        "WXTideMarker"}},
      {"PageControl6",
       {"Module internal settings", "Calculations", "Sensor alarm beacon", "Emergency beacon", "Input level beacon"}},
  };
  for (const auto& [name, captions] : inner) {
    auto* control = window->findChild<QTabWidget*>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr) << name;
    ASSERT_EQ(control->count(), int(captions.size())) << name;
    EXPECT_EQ(control->currentIndex(), 0) << name;
    for (int i = 0; i < control->count(); ++i) EXPECT_EQ(control->tabText(i), QString::fromLatin1(captions[std::size_t(i)]));
  }
  EXPECT_EQ(find<QTabWidget>("PageControl4")->widget(7)->objectName(), QStringLiteral("WXTideMarker"));
  EXPECT_NE(find<QPushButton>("Button_special_strings"), nullptr);
}

// Every declared field exists as a widget of its kind, named by its control
// name, with its caption, hint, choices, maximum length and start value.
TEST_F(MainWindowTest, EveryDeclaredFieldIsBuiltFromItsDeclaration) {
  for (const FieldDecl* field : allFields()) {
    const QString name = qs(field->control);
    QWidget* widget = window->findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr) << field->control;
    EXPECT_EQ(widget->toolTip(), qs(field->hint)) << field->control;
    if (!field->caption.empty()) {
      auto* label = window->findChild<QLabel*>(qs(captionName(field->control)));
      ASSERT_NE(label, nullptr) << field->control;
      EXPECT_EQ(label->text(), qs(field->caption));
    }
    if (field->isCombo()) {
      auto* combo = qobject_cast<QComboBox*>(widget);
      ASSERT_NE(combo, nullptr) << field->control;
      QStringList items;
      for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
      QStringList expected;
      for (const auto& c : field->choices) expected << qs(c);
      EXPECT_EQ(items, expected) << field->control;
      EXPECT_EQ(combo->currentIndex(), std::stoi(field->start)) << field->control;
    } else if (field->widget == Widget::Edit) {
      auto* edit = qobject_cast<QLineEdit*>(widget);
      ASSERT_NE(edit, nullptr) << field->control;
      if (field->maxLength > 0) {
        EXPECT_EQ(edit->maxLength(), field->maxLength) << field->control;
      }
      EXPECT_EQ(edit->text(), qs(field->start)) << field->control;
    }
  }
}

TEST_F(MainWindowTest, RadioFieldsAsDeclared) {
  struct Expected {
    const char* name;
    const char* caption;
    int maxLength;
    const char* start;
  };
  const Expected edits[] = {{"Callsign", "Callsign:", 6, "NOCALL"},        {"Ssid", "", 2, "0"},
                            {"Latitude", "Latitude:", 8, "5223.08N"},      {"Longitude", "Longitude:", 9, "01658.14E"},
                            {"Txdelay", "TX delay [ms]:", 4, "250"},       {"Txtail", "TX tail [ms]:", 4, "50"},
                            {"Quiettime", "Quiet time [ms]:", 4, "400"},   {"Txrx_freq", "TX/RX frequency [Hz]:", 9, "144800000"}};
  for (const auto& e : edits) {
    auto* edit = find<QLineEdit>(e.name);
    ASSERT_NE(edit, nullptr) << e.name;
    EXPECT_EQ(edit->maxLength(), e.maxLength);
    EXPECT_EQ(edit->text(), QString::fromLatin1(e.start));
  }
  EXPECT_EQ(find<QLineEdit>("Quiettime")->toolTip(),
            QStringLiteral("Delay between last received  packet and packet send."));
  EXPECT_EQ(find<QComboBox>("Consecutive_packets")->toolTip(),
            QStringLiteral("Multiple packets from TX fifo will be sent without gap if \"bursts\" is selected."));
  auto* power = find<QComboBox>("Tx_power");
  EXPECT_EQ(power->itemText(1), QStringLiteral("7 watt"));
  EXPECT_EQ(find<QComboBox>("Quiettime_randomize")->currentText(), QStringLiteral("+/- 64 ms"));
  EXPECT_EQ(find<QLabel>("Txrx_freq_label")->text(), QStringLiteral("TX/RX frequency [Hz]:"));
}

TEST_F(MainWindowTest, WriteConfigShowsTheFirstFailedCheckInAnInformationBox) {
  find<QLineEdit>("Txtail")->setText(QStringLiteral("1001"));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(shown[0].kind, QtUserInterface::Box::Information);
  EXPECT_EQ(shown[0].caption, QStringLiteral("Information"));
  EXPECT_EQ(shown[0].text, QStringLiteral("TX tail - range error (0 - 1000)."));
  EXPECT_EQ(find<QLineEdit>("Txtail")->text(), QStringLiteral("1001"));  // the field keeps what was typed
}

TEST_F(MainWindowTest, WriteConfigShowsAConversionErrorInTheErrorBox) {
  find<QLineEdit>("Txdelay")->clear();
  QTest::keyClicks(find<QLineEdit>("Txdelay"), QStringLiteral("2x0"));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(shown[0].kind, QtUserInterface::Box::Error);
  EXPECT_EQ(shown[0].caption, QStringLiteral("APRS Trekmor Configurator"));
  EXPECT_EQ(shown[0].text, QStringLiteral("'2x0' is not a valid integer value."));
}

TEST_F(MainWindowTest, WriteConfigPacksACompleteImageFromTheWidgets) {
  window->setStampSeed(1);
  QTest::keyClicks(find<QLineEdit>("Callsign"), QStringLiteral(""));
  find<QLineEdit>("Callsign")->setText(QStringLiteral("sq9abc"));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  EXPECT_TRUE(boxes.empty());
  const Image& image = window->writeImage();
  EXPECT_TRUE(checkImageIntegrity(image));
  EXPECT_EQ(std::string(image.begin() + 14, image.begin() + 20), "SQ9ABC");
}

TEST_F(MainWindowTest, EditsTypeNoMoreThanTheirMaximumButHoldLongerTextsSetByCode) {
  auto* callsign = find<QLineEdit>("Callsign");
  callsign->clear();
  QTest::keyClicks(callsign, QStringLiteral("ABCDEFGH"));
  EXPECT_EQ(callsign->text(), QStringLiteral("ABCDEF"));
  window->fields().setText("Callsign", "TOOLONG1");
  EXPECT_EQ(window->fields().text("Callsign"), "TOOLONG1");
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(shown[0].text, QStringLiteral("Callsign - too long (max 6 characters)."));
  window->fields().setText("Callsign", "AB");
  EXPECT_EQ(callsign->maxLength(), 6);
}

TEST_F(MainWindowTest, TextsCrossTheBoundaryAsSingleBytes) {
  window->fields().setText("Callsign", "\xC4\xD6");
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QString::fromUtf8("ÄÖ"));
  find<QLineEdit>("Callsign")->setText(QString::fromUtf8("Ж"));
  EXPECT_EQ(window->fields().text("Callsign"), "\x7F");
}

}  // namespace
}  // namespace trekmor
