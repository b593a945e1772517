// The Position reports, Digipeater and Beacons tabs built offscreen: their
// controls, labels and layout, the encoding rule on real user input, and the
// beacon message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "settings/pipeline.h"
#include "settings/registry.h"
#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"

namespace trekmor {
namespace {

using testing::qs;

class TabsTest : public testing::WindowFixture {
 protected:
  QStringList labelTexts(const char* page) {
    QStringList out;
    for (QLabel* label : find<QWidget>(page)->findChildren<QLabel*>()) out << label->text();
    return out;
  }
};

// ---- controls as written for the user, each on its own sub-tab -------------------

struct Control {
  std::string name;
  const char* page;
  const char* caption;  // nullptr: no caption label of its own
  std::vector<const char*> choices;
  int maxLength;      // edits
  std::string start;  // text, or the start index of a combo box
  const char* hint = "";
};

void expectControl(const MainWindow& window, const Control& c, QWidget* page) {
  SCOPED_TRACE(c.name);
  QWidget* widget = window.findChild<QWidget*>(qs(c.name));
  ASSERT_NE(widget, nullptr);
  ASSERT_NE(page, nullptr) << c.page;
  EXPECT_TRUE(page->isAncestorOf(widget)) << c.page;
  EXPECT_EQ(widget->toolTip(), QString::fromLatin1(c.hint));
  auto* label = window.findChild<QLabel*>(qs(c.name + "_label"));
  if (c.caption) {
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromLatin1(c.caption));
    EXPECT_TRUE(page->isAncestorOf(label));
  } else {
    EXPECT_EQ(label, nullptr);
  }
  if (!c.choices.empty()) {
    auto* combo = qobject_cast<QComboBox*>(widget);
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), int(c.choices.size()));
    for (int i = 0; i < combo->count(); ++i) EXPECT_EQ(combo->itemText(i), QString::fromLatin1(c.choices[std::size_t(i)]));
    EXPECT_EQ(combo->currentIndex(), std::stoi(c.start));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    EXPECT_EQ(edit->maxLength(), c.maxLength);
    EXPECT_EQ(edit->text(), qs(c.start));
  } else {
    auto* box = qobject_cast<QPlainTextEdit*>(widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), qs(c.start));
  }
}

TEST_F(TabsTest, PositionReportControls) {
  const std::vector<const char*> noYes{"No", "Yes"};
  const char* e = "TabSheet_encoding_protocol";
  const char* s = "TabSheet_smartbeaconing";
  const Control controls[] = {
      {"Position_report_mode", "TabSheet_report_mode", "Position report mode:",
       {"Disabled", "Fixed time interval", "SmartBeaconing", "GPS-sychronized reports"}, 0, "2"},
      {"Position_report_encoding", e, "Position encoding protocol:", {"Mic-E", "Plain text", "Base-91"}, 0, "0"},
      {"Position_symbol_code", e, "Symbol code:", {}, 1, ">"},
      {"Position_symbol_table", e, "Symbol table:", {}, 1, "/"},
      {"Mice_message", e, "message:",
       {"Off Duty", "En Route", "In Service", "Returning", "Committed", "Special", "Priority", "Emergency"}, 0, "0"},
      {"Position_path1", e, "Path:", {}, 6, "WIDE1"},
      {"Position_ssid1", e, "-", {}, 2, "1"},
      {"Position_path2", e, ",", {}, 6, "WIDE2"},
      {"Position_ssid2", e, "-", {}, 2, "1"},
      {"Position_path3", e, ",", {}, 6, ""},
      {"Position_ssid3", e, "-", {}, 2, ""},
      {"Position_status_text", e, "Status text:", {}, 40, ""},
      {"Position_time", e, "Time:", {"None", "Hour, min, sec", "Day, hour, min"}, 0, "2"},
      {"Position_coursespeed", e, "Course/Speed:", noYes, 0, "1"},
      {"Position_reportonfixlost", e, "Send last position if fix lost:", noYes, 0, "1"},
      {"Position_altitude", e, "Altitude:", noYes, 0, "1"},
      {"Position_fixlost_interval", e, "Send interval on fix lost (s):", {}, 4, "180"},
      {"Smartbeaconing_min_turn_angle", s, "Min Turn Angle [deg]:", {}, 3, "27"},
      {"Smartbeaconing_turn_slope", s, "Turn Slope:", {}, 4, "410"},
      {"Smartbeaconing_min_turn_time", s, "Min Turn Time [s]:", {}, 3, "5"},
      {"Smartbeaconing_slow_speed", s, "Slow Speed [km/h]:", {}, 3, "8"},
      {"Smartbeaconing_slow_period", s, "Slow Period [s]:", {}, 4, "1800"},
      {"Smartbeaconing_fast_speed", s, "Fast Speed [km/h]:", {}, 3, "95"},
      {"Smartbeaconing_fast_period", s, "Fast Period [s]:", {}, 3, "90"},
      {"Position_report_interval", "TabSheet_fixed_interval", "Position report interval [s]:", {}, 4, "60"},
      {"Synchronized_report_interval", "TabSheet_gps_synchronized", "Position report interval [s]:", {}, 4, "60"},
      {"Synchronized_report_second", "TabSheet_gps_synchronized", "Position report send second:", {}, 4, "15"},
  };
  for (const Control& c : controls) expectControl(*window, c, find<QWidget>(c.page));
  EXPECT_EQ(find<QLabel>("Label_mice")->text(), QStringLiteral("Mic-E"));
  EXPECT_TRUE(find<QWidget>(e)->isAncestorOf(find<QLabel>("Label_mice")));
}

TEST_F(TabsTest, DigipeaterControls) {
  const Control common[] = {
      {"Digion", "TabSheet_digi_common", "Digipeater on:", {"No", "Yes"}, 0, "1",
       "Enables or disables function of RF packets digipeating."},
      {"Floodtimeout", "TabSheet_digi_common", "Duplicate checking [s]:", {}, 3, "60",
       "Time for which a received packet is stored for duplicate checking. Duplicate packets are discarded and are "
       "not digipeated."},
  };
  for (const Control& c : common) expectControl(*window, c, find<QWidget>(c.page));
  QWidget* aliases = find<QWidget>("TabSheet_digi_aliases");
  for (int k = 1; k <= 8; ++k) {
    const std::string a = "Alias" + std::to_string(k);
    const bool first = k == 1;
    const Control row[] = {
        {a + "_name", "", nullptr, {}, 6, first ? "WIDE1" : "", "Simple alias-based path for digipeating."},
        {a + "_ssid", "", nullptr, {}, 2, first ? "1" : "", "Simple alias-based SSID for digipeating."},
        {a + "_traceable", "", nullptr, {"No", "Yes"}, 0, first ? "1" : "0",
         "If selected, the device will add its callsign to path of digipeated packets."},
        {a + "_enable", "", nullptr, {"Never", "Always"}, 0, first ? "1" : "0",
         "Path rule is enabled if this condition is met."},
    };
    for (const Control& c : row) expectControl(*window, c, aliases);
  }
  const QStringList texts = labelTexts("TabSheet_digi_aliases");
  for (const char* caption : {"Alias:", "Ssid:", "Traceable:", "Enable if:"}) {
    EXPECT_EQ(texts.count(QString::fromLatin1(caption)), 2) << caption;  // one per block
  }
  EXPECT_EQ(texts.count(QStringLiteral("-")), 8);
}

TEST_F(TabsTest, BeaconControls) {
  const char* messages[] = {"/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V.",
                            "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C.", ""};
  QWidget* page = find<QWidget>("TabSheet_beacons");
  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    const std::string b = "Beacon" + n;
    const std::string destHint = "Beacon " + n + " destination to-call.";
    const std::string ssidHint = "Beacon " + n + " destination SSID.";
    const Control row[] = {
        {b + "_dest_string", "", nullptr, {}, 6, "APQT0A", destHint.c_str()},
        {b + "_dest_ssid", "", "-", {}, 2, "0", ssidHint.c_str()},
        {b + "_path1_string", "", nullptr, {}, 6, "WIDE1", "Beacon path."},
        {b + "_path1_ssid", "", "-", {}, 2, "1", "Beacon SSID."},
        {b + "_path2_string", "", nullptr, {}, 6, "WIDE2", "Beacon path."},
        {b + "_path2_ssid", "", "-", {}, 2, "1", "Beacon SSID."},
        {b + "_txrate", "", nullptr, {}, 4, k == 1 ? "30" : "5", "Beacon TX rate to RF (minutes)."},
        {b + "_enable", "", nullptr, {"Never", "Always", "GPS fixed", "GPS not fixed"}, 0, k == 1 ? "2" : "0",
         "Beacon is enabled if this condition is met."},
        {b + "_message", "", nullptr, {}, 0, messages[k - 1], "Beacon message. Please check \"Special strings\"."},
    };
    for (const Control& c : row) expectControl(*window, c, page);
  }
  const QStringList texts = labelTexts("TabSheet_beacons");
  for (const char* caption :
       {"Dest:", "Path 1:", "Path 2:", "RF[min]:", "Enable if:", "Message (empty fields are ignored):"}) {
    EXPECT_EQ(texts.count(QString::fromLatin1(caption)), 1) << caption;
  }
  EXPECT_EQ(texts.count(QStringLiteral("-")), 12);
  EXPECT_EQ(texts.count(QStringLiteral(",")), 4);

  auto* special = find<QPushButton>("Button_special_strings");
  ASSERT_NE(special, nullptr);
  EXPECT_TRUE(page->isAncestorOf(special));
  EXPECT_EQ(special->text(), QStringLiteral("Special strings"));
  QTest::mouseClick(special, Qt::LeftButton);  // nothing behind it yet
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TabsTest, GpsSynchronizedExplanationsAreWrappedAcrossTheTab) {
  window->show();
  find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  find<QTabWidget>("PageControl5")->setCurrentIndex(4);
  QWidget* page = find<QWidget>("TabSheet_gps_synchronized");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QStringList wrapped;
  for (QLabel* label : page->findChildren<QLabel*>()) {
    if (!label->wordWrap()) continue;
    wrapped << label->text();
    EXPECT_GT(label->width(), page->width() * 3 / 4) << label->text().toStdString();
    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
  }
  const QStringList expected = {
      QStringLiteral("This report mode allows for GPS-synchronized beaconing for a group of cooperating trackers to "
                     "avoid packet collisions and optimize channel usage."),
      QStringLiteral("It may be interesting especially for rescue groups, contests, etc. while working on a separate "
                     "channel frequency (undisturbed by other transmitting stations)."),
      QStringLiteral("Example: We have 4 trackers which should send in 60 seconds interval. For tracker #1 we set "
                     "second number to 0,  for tracker #2 to 15, for tracker #3 to 30, for tracker #4 to 45."),
      QStringLiteral("Tracker #1 will send in second 0 after every minute, tracker #2 will send 15 seconds after "
                     "every minute, etc. No collisions should occur between these trackers."),
  };
  EXPECT_EQ(wrapped, expected);
  // Top to bottom in that order, below the two fields.
  int previous = find<QWidget>("Synchronized_report_second")->geometry().bottom();
  for (QLabel* label : page->findChildren<QLabel*>()) {
    if (!label->wordWrap()) continue;
    EXPECT_GT(label->geometry().top(), previous);
    previous = label->geometry().bottom();
  }
}

// Every control of the three tabs lies inside its page at no less than its
// smallest useful size, and no caption is cut.
TEST_F(TabsTest, NothingIsClippedOnAnySubTab) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto* top = find<QTabWidget>("PageControl1");
  const std::pair<int, const char*> tabs[] = {{1, "PageControl5"}, {2, "PageControl3"}, {3, nullptr}};
  for (const auto& [index, innerName] : tabs) {
    top->setCurrentIndex(index);
    auto* inner = innerName ? find<QTabWidget>(innerName) : nullptr;
    for (int i = 0; i < (inner ? inner->count() : 1); ++i) {
      if (inner) inner->setCurrentIndex(i);
      QWidget* page = inner ? inner->widget(i) : top->widget(index);
      QApplication::processEvents();
      for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QTabWidget*>(w)) continue;
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) &&
            !qobject_cast<QPlainTextEdit*>(w) && !qobject_cast<QPushButton*>(w)) {
          continue;
        }
        const std::string what = page->objectName().toStdString() + " " + w->objectName().toStdString() + " " +
                                 w->metaObject()->className();
        const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
        EXPECT_TRUE(page->rect().contains(r)) << what;
        // An explicit minimum (a fixed height) wins over the hint, as in layouts.
        EXPECT_GE(w->width(), w->minimumWidth() > 0 ? w->minimumWidth() : w->minimumSizeHint().width()) << what;
        EXPECT_GE(w->height(), w->minimumHeight() > 0 ? w->minimumHeight() : w->minimumSizeHint().height()) << what;
        auto* label = qobject_cast<QLabel*>(w);
        if (label && !label->wordWrap()) {
          EXPECT_GE(label->width(), label->sizeHint().width()) << what;
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
          EXPECT_GE(combo->width(), combo->sizeHint().width()) << what;
        }
      }
    }
  }
}

// ---- the encoding rule on real input ----------------------------------------------

struct Enabled {
  bool mice;
  bool time;
};

class EncodingRuleTest : public TabsTest {
 protected:
  Enabled enabled() {
    const bool mice = find<QWidget>("Mice_message")->isEnabled();
    EXPECT_EQ(find<QWidget>("Label_mice")->isEnabled(), mice);
    EXPECT_EQ(find<QWidget>("Mice_message_label")->isEnabled(), mice);
    const bool time = find<QWidget>("Position_time")->isEnabled();
    EXPECT_EQ(find<QWidget>("Position_time_label")->isEnabled(), time);
    return {mice, time};
  }
  QComboBox* encoding() { return find<QComboBox>("Position_report_encoding"); }
};

TEST_F(EncodingRuleTest, UserChoiceByKeyboardSwitchesTheDependentControls) {
  EXPECT_TRUE(enabled().mice);
  EXPECT_FALSE(enabled().time);
  QTest::keyClick(encoding(), Qt::Key_Down);  // "Plain text"
  ASSERT_EQ(encoding()->currentIndex(), 1);
  EXPECT_FALSE(enabled().mice);
  EXPECT_TRUE(enabled().time);
  QTest::keyClick(encoding(), Qt::Key_Down);  // "Base-91"
  ASSERT_EQ(encoding()->currentIndex(), 2);
  EXPECT_FALSE(enabled().mice);
  EXPECT_TRUE(enabled().time);
  QTest::keyClick(encoding(), Qt::Key_Up);
  QTest::keyClick(encoding(), Qt::Key_Up);  // "Mic-E"
  ASSERT_EQ(encoding()->currentIndex(), 0);
  EXPECT_TRUE(enabled().mice);
  EXPECT_FALSE(enabled().time);
  // The values stay whatever is enabled.
  EXPECT_EQ(find<QComboBox>("Position_time")->currentIndex(), 2);
  EXPECT_EQ(find<QComboBox>("Mice_message")->currentIndex(), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(EncodingRuleTest, SelectionsSetByCodeChangeNothing) {
  encoding()->setCurrentIndex(1);
  EXPECT_TRUE(enabled().mice);
  EXPECT_FALSE(enabled().time);
  window->fields().setIndex("Position_report_encoding", 2);
  EXPECT_TRUE(enabled().mice);
  EXPECT_FALSE(enabled().time);
}

TEST_F(EncodingRuleTest, ChoosingAReportModeEnablesOrDisablesNothing) {
  QWidget* tab = find<QWidget>("TabSheet_position_reports");
  const auto states = [&] {
    std::vector<bool> out;
    for (QWidget* w : tab->findChildren<QWidget*>()) out.push_back(w->isEnabled());
    return out;
  };
  QTest::keyClick(encoding(), Qt::Key_Down);  // a state other than the start
  const std::vector<bool> before = states();
  auto* mode = find<QComboBox>("Position_report_mode");
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) {
    QTest::keyClick(mode, key);
    EXPECT_EQ(states(), before) << mode->currentIndex();
  }
  EXPECT_EQ(mode->currentIndex(), 3);
}

TEST_F(EncodingRuleTest, UnpackAppliesTheRuleToTheWidgets) {
  FieldStore source = FieldStore::withStartValues();
  source.setIndex("Position_report_encoding", 2);
  Image image;
  ASSERT_TRUE(packConfigImage(source, image, 0));
  ASSERT_TRUE(unpackConfigImage(image, window->fields(), window->userInterface()));
  EXPECT_EQ(encoding()->currentIndex(), 2);
  EXPECT_FALSE(enabled().mice);
  EXPECT_TRUE(enabled().time);
  image[312] = 0;
  ASSERT_TRUE(unpackConfigImage(image, window->fields(), window->userInterface()));
  EXPECT_TRUE(enabled().mice);
  EXPECT_FALSE(enabled().time);
}

TEST_F(EncodingRuleTest, LoadRuleOfTheEncodingFieldAppliesToTheWidgets) {
  const FieldDecl* field = findField("Position_report_encoding");
  setFieldValue(*field, window->fields(), "1");
  runRulesAfter(packOrder(), &RuleDecl::afterLoadOf, field->control, window->fields(), window->userInterface());
  EXPECT_FALSE(enabled().mice);
  EXPECT_TRUE(enabled().time);
}

// ---- beacon message boxes ------------------------------------------------------------

TEST_F(TabsTest, MessageBoxTakesNoEnterAndNoMoreThan96Characters) {
  auto* box = find<QPlainTextEdit>("Beacon4_message");
  ASSERT_NE(box, nullptr);
  box->setFocus();
  QTest::keyClicks(box, QStringLiteral("ab"));
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClick(box, Qt::Key_Enter);
  QTest::keyClicks(box, QStringLiteral("cd"));
  EXPECT_EQ(box->toPlainText(), QStringLiteral("abcd"));

  box->clear();
  QTest::keyClicks(box, QString(100, QLatin1Char('z')));
  EXPECT_EQ(box->toPlainText(), QString(96, QLatin1Char('z')));
  QTest::keyClick(box, Qt::Key_Backspace);  // editing keys still work at the limit
  EXPECT_EQ(box->toPlainText().size(), 95);

  // Pasting is cut to the room left; a pasted line break is kept in the box
  // and left out by the pack.
  box->clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("12\n34"));
  box->paste();
  EXPECT_EQ(box->toPlainText(), QStringLiteral("12\n34"));
  QGuiApplication::clipboard()->setText(QString(200, QLatin1Char('p')));
  box->paste();
  EXPECT_EQ(box->toPlainText().size(), 96);

  box->setPlainText(QStringLiteral("12\n34"));
  window->setStampSeed(1);
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_TRUE(boxes.empty()) << boxes.front().toStdString();
  const Image& image = window->writeImage();
  EXPECT_EQ(std::string(image.begin() + 893, image.begin() + 898), std::string("1234\0", 5));
}

TEST_F(TabsTest, MessageBoxHoldsLongerTextSetByCodeAndThePackRefusesIt) {
  window->fields().setText("Beacon2_message", std::string(120, 'w'));
  EXPECT_EQ(window->fields().text("Beacon2_message"), std::string(120, 'w'));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], QStringLiteral("Beacon 2 message - too long (max 98 characters)."));
}

TEST_F(TabsTest, MessageBoxesShowSeveralLinesOfAReadableWidth) {
  window->show();
  find<QTabWidget>("PageControl1")->setCurrentIndex(3);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  for (int k = 1; k <= 4; ++k) {
    auto* box = find<QPlainTextEdit>("Beacon" + std::to_string(k) + "_message");
    const QFontMetrics metrics(box->font());
    EXPECT_GE(box->viewport()->height(), 3 * metrics.lineSpacing());
    EXPECT_GE(box->minimumWidth(), 40 * metrics.averageCharWidth());
    // A text outside one byte per character fails the beacon's check.
    box->setPlainText(QString::fromUtf8("\u20ac"));
    QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
    ASSERT_EQ(boxes.size(), std::size_t(k));
    EXPECT_EQ(boxes.back(), QStringLiteral("Beacon %1 message - forbidden characters.").arg(k));
    box->clear();
  }
}

}  // namespace
}  // namespace trekmor
