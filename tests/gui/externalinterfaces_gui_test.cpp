// The external interfaces, water-level module and test tone tabs built
// offscreen, and the port rules driven by user-like events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"

namespace trekmor {
namespace {

const QString kBtConsole =
    QStringLiteral("Bluetooth port 1 changed to None.\rReason:\rSerial console can be selected on one port only.");
const QString kRsKiss =
    QStringLiteral("RS-232 port 2 changed to None.\rReason:\rKISS packet output can be selected on one port only.");
const QString kRsGps = QStringLiteral(
    "RS-232 port 2 changed to GPS.\rReason:\rGPS passthrough function on Bluetooth 1 port needs a GPS connected to "
    "RS-232 port 2.");

class InterfacesWindowTest : public testing::WindowFixture {
 protected:
  void TearDown() override {
    for (const testing::ShownBox& box : shown) EXPECT_EQ(box.kind, QtUserInterface::Box::Information) << box.text.toStdString();
  }
  QComboBox* combo(const char* name) { return find<QComboBox>(name); }
  // Sets both ports from code, which runs no rule.
  void setPorts(int serial1, int serial2) {
    window->fields().setIndex("Serial1_mode", serial1);
    window->fields().setIndex("Serial2_mode", serial2);
  }
  int serial1() { return combo("Serial1_mode")->currentIndex(); }
  int serial2() { return combo("Serial2_mode")->currentIndex(); }
  bool hasLabel(const QString& text) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
      if (label->text() == text) return true;
    }
    return false;
  }

};

TEST_F(InterfacesWindowTest, SelectionsSetByCodeRunNoRule) {
  setPorts(2, 1);  // both ports on the serial console
  combo("Serial2_mode")->setCurrentIndex(2);
  combo("Serial1_mode")->setCurrentIndex(4);  // both on KISS
  combo("Testtone_enable")->setCurrentIndex(1);
  window->fields().setText("Weather_stationtype", "typed by code");
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(serial1(), 4);
  EXPECT_EQ(serial2(), 2);
}

TEST_F(InterfacesWindowTest, ChoosingTheConsoleOnTheRs232PortMovesTheBluetoothPortToNone) {
  setPorts(1, 1);
  QTest::keyClick(combo("Serial1_mode"), Qt::Key_Down);  // "Weather station" -> "Serial console"
  EXPECT_EQ(serial1(), 2);
  EXPECT_EQ(serial2(), 0);
  EXPECT_EQ(boxes, QStringList{kBtConsole});
}

TEST_F(InterfacesWindowTest, BluetoothPortChoicesWithKissOnTheRs232Port) {
  setPorts(4, 2);  // a clash that only code can make
  QTest::keyClick(combo("Serial2_mode"), Qt::Key_Down);  // "GPS passthrough"
  EXPECT_EQ(serial1(), 3);
  EXPECT_EQ(boxes, QStringList{kRsGps});

  boxes.clear();
  setPorts(4, 3);
  QTest::keyClick(combo("Serial2_mode"), Qt::Key_Up);  // "KISS"
  EXPECT_EQ(serial1(), 0);
  EXPECT_EQ(serial2(), 2);
  EXPECT_EQ(boxes, QStringList{kRsKiss});
}

TEST_F(InterfacesWindowTest, PassthroughAllowsNoneUntilTheWeatherStationIsPicked) {
  setPorts(3, 3);
  QTest::keyClick(combo("Serial1_mode"), Qt::Key_Home);  // "None"
  EXPECT_EQ(serial1(), 0);
  EXPECT_TRUE(boxes.isEmpty());
  QTest::keyClick(combo("Weather_stationtype"), Qt::Key_Down);
  EXPECT_EQ(combo("Weather_stationtype")->currentIndex(), 1);
  EXPECT_EQ(serial1(), 3);
  EXPECT_EQ(boxes, QStringList{kRsGps});
}

TEST_F(InterfacesWindowTest, TypingAStationNameRunsTheRulesAndCountsAsNoSelection) {
  setPorts(0, 3);
  auto* station = combo("Weather_stationtype");
  ASSERT_TRUE(station->isEditable());
  QTest::keyClicks(station->lineEdit(), QStringLiteral("Home made"));
  EXPECT_EQ(serial1(), 3);
  EXPECT_EQ(boxes, QStringList{kRsGps});  // the rules run on every edit, the later runs find nothing to change
  EXPECT_EQ(window->fields().index("Weather_stationtype"), -1);
  QTest::keyClick(station->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(station->count(), 11);  // typed text never joins the list

  window->setStampSeed(1);
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(window->writeImage()[992], 0xFF);
}

TEST_F(InterfacesWindowTest, ATypedOrCompletedItemTextCountsAsThatItem) {
  auto* station = combo("Weather_stationtype");
  station->lineEdit()->clear();
  QTest::keyClicks(station->lineEdit(), QStringLiteral("WS-2300"));
  EXPECT_EQ(station->currentText(), QStringLiteral("WS-2300"));
  EXPECT_EQ(window->fields().index("Weather_stationtype"), 5);
  QTest::keyClicks(station->lineEdit(), QStringLiteral("0"));  // "WS-23000"
  EXPECT_EQ(window->fields().index("Weather_stationtype"), -1);
  window->fields().setIndex("Weather_stationtype", 8);
  EXPECT_EQ(station->currentText(), QStringLiteral("Davis Vantage Pro2"));
  EXPECT_EQ(window->fields().index("Weather_stationtype"), 8);
  window->fields().setIndex("Weather_stationtype", -1);
  EXPECT_EQ(window->fields().index("Weather_stationtype"), -1);
}

TEST_F(InterfacesWindowTest, TestToneChangesApplyThePortRules) {
  setPorts(0, 3);
  QTest::keyClick(combo("Testtone_enable"), Qt::Key_Down);
  EXPECT_EQ(combo("Testtone_enable")->currentIndex(), 1);
  EXPECT_EQ(serial1(), 3);
  EXPECT_EQ(boxes, QStringList{kRsGps});

  boxes.clear();
  setPorts(2, 3);
  QTest::keyClick(combo("Testtone_bypasspa"), Qt::Key_Down);
  EXPECT_EQ(serial1(), 3);
  EXPECT_EQ(boxes, QStringList{kRsGps});

  // The pattern runs the RS-232 port rule only: passthrough is not its concern.
  boxes.clear();
  setPorts(0, 3);
  QTest::keyClick(combo("Testtone_pattern"), Qt::Key_Up);
  EXPECT_EQ(serial1(), 0);
  EXPECT_TRUE(boxes.isEmpty());
  setPorts(2, 1);
  QTest::keyClick(combo("Testtone_pattern"), Qt::Key_Up);
  EXPECT_EQ(serial2(), 0);
  EXPECT_EQ(boxes, QStringList{kBtConsole});
}

TEST_F(InterfacesWindowTest, CaptionsAndHintsOfTheExternalInterfaces) {
  struct Expected {
    const char* control;
    const char* caption;
    const char* hint;
  };
  const Expected expected[] = {
      {"Serial2_mode", "Bluetooth port 1:", "Bluetooth port 1 function."},
      {"Serial1_mode", "RS-232 port 2:", "Serial port 2 function."},
      {"Bluetooth_name", "Bluetooth device name:", ""},
      {"Bluetooth_password", "Bluetooth password:", ""},
      {"RS485_mode", "RS-485 port:", "RS-485 port function."},
      {"Telemodule_enable", "WXQuantaBox module (analog):", "Enables or disables WXQuantaBox module support."},
      {"Pinsmodule_enable", "WXPins module (digital):", "Enables or disables WXPins module support."},
      {"Tidemarker_enable", "WXTideMarker:", "Enables or disables WXTideMarker module support."},
      {"Weather_stationtype", "Weather station:", "Weather station selection box."},
      {"Console_baudrate", "Serial console baudrate:", "Serial console baudrate."},
      {"GPS_baudrate", "GPS module baudrate:", "NMEA reports baudrate."},
      {"Kiss_baudrate", "KISS baudrate:", "KISS serial port baudrate."},
      {"Kiss_direction", "KISS direction:", "Allows to disable transmission of KISS packets to RF if unnecessary."},
      {"Kiss_check", "Check for serial->RF packet correctness:",
       "If enabled then checks packet header and drops incorrect packets."},
      {"Testtone_enable", "Test tone enable:", "Test tone enable."},
      {"Testtone_pattern", "Test tone pattern:", "Test tone pattern."},
      {"Testtone_bypasspa", "Test tone bypass PA:", ""},
      {"Wxtidemarker_samples_avg", "Number of samples for averaging:", "Number of samples for averaging"},
      {"Wxtidemarker_coeff_fullscale", "Fullscale coeffcient:", "Measurement calculation fullscale coefficient"},
      {"Wxtidemarker_coeff_offset", "Offset coeffcient:", ""},
      {"Wxtidemarker_emergencybeacon_errors", "Number of errors to emergency beacon:",
       "Number of errors to emergency beacon"},
      {"Wxtidemarker_inputbeacon_level", "Beacon on input change to:", "Beacon on input change to"},
      {"Wxtidemarker_alarmbeacon_path2_ssid", "", "Sensor alarm report SSID."},
      {"Wxtidemarker_emergencybeacon_txrate", "RF[min]:", "Emergency beacon TX rate to RF (minutes)."},
      {"Wxtidemarker_inputbeacon_dest_string", "Dest:", "Input level alarm destination to-call."},
      {"Wxtidemarker_inputbeacon_comment", "Comment:", "Input level alarm comment."},
  };
  for (const Expected& e : expected) {
    QWidget* widget = find(e.control);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->toolTip(), QString::fromLatin1(e.hint)) << e.control;
    auto* caption = window->findChild<QLabel*>(QString::fromLatin1(e.control) + QStringLiteral("_label"));
    EXPECT_EQ(caption ? caption->text() : QString(), QString::fromLatin1(e.caption)) << e.control;
  }
  EXPECT_EQ(find<QLineEdit>("Bluetooth_name")->maxLength(), 20);
  EXPECT_EQ(find<QLineEdit>("Bluetooth_password")->maxLength(), 4);
  EXPECT_EQ(combo("Weather_stationtype")->itemText(10), QStringLiteral("Davis Vantage Pro2 Plus"));
  EXPECT_EQ(combo("Wxtidemarker_samples_avg")->currentText(), QStringLiteral("5"));
  EXPECT_EQ(combo("Wxtidemarker_emergencybeacon_errors")->currentText(), QStringLiteral("6"));
  EXPECT_EQ(combo("Testtone_pattern")->currentText(), QStringLiteral("Carrier only"));
}

TEST_F(InterfacesWindowTest, PasswordTypingStopsAtFourCharacters) {
  auto* password = find<QLineEdit>("Bluetooth_password");
  password->clear();
  QTest::keyClicks(password, QStringLiteral("12345"));
  EXPECT_EQ(password->text(), QStringLiteral("1234"));
}

TEST_F(InterfacesWindowTest, DebugSwitchesStandInTheirGroupBoxInTwoRowsOfFour) {
  auto* box = find<QGroupBox>("GroupBox_console_debug");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->title(), QStringLiteral("Console debug messages:"));
  const char* rows[2][4] = {{"Debug_rf", "Debug_ax25", "Debug_weather", "Debug_telemetry"},
                            {"Debug_bluetooth", "Debug_gps", "Debug_kiss", "Debug_thermo"}};
  box->window()->show();
  find<QTabWidget>("PageControl1")->setCurrentWidget(find("TabSheet_external_interfaces"));
  find<QTabWidget>("PageControl4")->setCurrentWidget(find("TabSheet_serial_console"));
  QApplication::processEvents();
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 4; ++c) {
      QComboBox* debug = combo(rows[r][c]);
      ASSERT_NE(debug, nullptr);
      EXPECT_EQ(debug->parentWidget(), box) << rows[r][c];
      EXPECT_EQ(debug->y(), combo(rows[r][0])->y()) << rows[r][c];
      if (c > 0) {
        EXPECT_GT(debug->x(), combo(rows[r][c - 1])->x()) << rows[r][c];
      }
    }
  }
  EXPECT_GT(combo("Debug_bluetooth")->y(), combo("Debug_rf")->y());
}

TEST_F(InterfacesWindowTest, RangeLabelsStandRightOfTheirFields) {
  window->show();
  find<QTabWidget>("PageControl1")->setCurrentWidget(find("TabSheet_external_interfaces"));
  find<QTabWidget>("PageControl4")->setCurrentWidget(find("WXTideMarker"));
  const std::pair<const char*, const char*> ranges[] = {
      {"Wxtidemarker_relay_on_time", "(0 - 255)"},        {"Wxtidemarker_relay_off_time", "(0 - 255)"},
      {"Wxtidemarker_meas_interval", "(60 - 3600)"},      {"Wxtidemarker_coeff_fullscale", "(0 - 32767)"},
      {"Wxtidemarker_coeff_offset", "(-32768 - 32767)"}, {"Wxtidemarker_alarmbeacon_on_th", "(0 - 32767)"},
      {"Wxtidemarker_alarmbeacon_off_th", "(0 - 32767)"}};
  auto* pages = find<QTabWidget>("PageControl6");
  for (const auto& [control, range] : ranges) {
    QWidget* field = find(control);
    ASSERT_NE(field, nullptr);
    pages->setCurrentWidget(field->parentWidget());
    QApplication::processEvents();
    const QLabel* beside = nullptr;
    for (QLabel* label : field->parentWidget()->findChildren<QLabel*>()) {
      if (label->text() == QString::fromLatin1(range) && std::abs(label->y() - field->y()) < field->height()) {
        beside = label;
      }
    }
    ASSERT_NE(beside, nullptr) << control;
    EXPECT_GE(beside->x(), field->x() + field->width()) << control;
  }
}

TEST_F(InterfacesWindowTest, ExplanationsFormulaAndNotes) {
  for (const char* text :
       {"These settings are WXTideMarker module internal settings and work in module firmware regardless of APRS "
        "controlling device operation.",
        "These settings are updated in WXTideMarker EEPROM memory after APRS Trekmor power-up.",
        "For B+B Thermo Technik 0550 1392-002 sensor the fullscale is 1bar which equals to 1000cm of water.",
        "Alarm beacon is sent when measured pressure exceeds configured value.",
        "Emergency beacon is sent in case of loss communication with the sensor over I2C or with WXTideMarker module "
        "over RS-485.",
        "Input level beacon is sent if input state reaches module input alarm state.", "Sensor alarm beacon:",
        "Device will send test pattern for 10 seconds in 20 second intervals (10 seconds on, 10 seconds off, etc.)."}) {
    EXPECT_TRUE(hasLabel(QString::fromLatin1(text))) << text;
  }
  auto* formula = find<QLabel>("Label_wxtm_formula");
  ASSERT_NE(formula, nullptr);
  EXPECT_EQ(formula->parentWidget()->objectName(), QStringLiteral("TabSheet_wxtm_calculations"));
  EXPECT_EQ(formula->textFormat(), Qt::AutoText);
  const QString html = formula->text();
  // Numerator over denominator: two table rows, the numerator's cell ruled below.
  const qsizetype numerator = html.indexOf(QStringLiteral("SAMPLE * FULLSCALE[cm]"));
  const qsizetype denominator = html.indexOf(QStringLiteral(">32768<"));
  ASSERT_GE(numerator, 0);
  EXPECT_GT(denominator, html.indexOf(QStringLiteral("</tr>"), numerator));
  EXPECT_LT(html.indexOf(QStringLiteral("MEASUREMENT[cm] =")), numerator);
  EXPECT_GT(html.indexOf(QStringLiteral("+ OFFSET[cm]")), numerator);
  EXPECT_TRUE(html.contains(QStringLiteral("font-size:12pt")));
  // Drawn in large type: taller than one line of the window's font.
  window->show();
  find<QTabWidget>("PageControl1")->setCurrentWidget(find("TabSheet_external_interfaces"));
  find<QTabWidget>("PageControl4")->setCurrentWidget(find("WXTideMarker"));
  find<QTabWidget>("PageControl6")->setCurrentWidget(find("TabSheet_wxtm_calculations"));
  QApplication::processEvents();
  EXPECT_GT(formula->height(), 2 * formula->fontMetrics().height());
}

}  // namespace
}  // namespace trekmor
