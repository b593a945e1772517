#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "settings/telemetrypresets.h"
#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"

namespace trekmor {
namespace {

using testing::qs;


class TelemetryWeatherTabs : public testing::WindowFixture {
 protected:
  QStringList labelTexts(QWidget* page) {
    QStringList texts;
    for (QLabel* label : page->findChildren<QLabel*>()) texts << label->text();
    return texts;
  }
};

TEST_F(TelemetryWeatherTabs, SubTabsInOrder) {
  auto* inner = find<QTabWidget>("PageControl2");
  ASSERT_NE(inner, nullptr);
  EXPECT_TRUE(find<QWidget>("TabSheet_telemetry_reports")->isAncestorOf(inner));
  const char* names[] = {"TabSheet_report_settings", "TabSheet_analog_channels", "TabSheet_digital_channels14",
                         "TabSheet_digital_channels58", "TabSheet_wxpins_outputs"};
  ASSERT_EQ(inner->count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(inner->widget(i)->objectName(), QString::fromLatin1(names[i]));
}

// Each control sits on its sub-tab, in the row of its channel, with the
// headings of the grid above it.
TEST_F(TelemetryWeatherTabs, ControlsSitOnTheirSubTabs) {
  auto* report = find<QWidget>("TabSheet_report_settings");
  auto* analog = find<QWidget>("TabSheet_analog_channels");
  auto* digital14 = find<QWidget>("TabSheet_digital_channels14");
  auto* digital58 = find<QWidget>("TabSheet_digital_channels58");
  auto* wxpins = find<QWidget>("TabSheet_wxpins_outputs");
  for (const char* prefix : {"Teleparams", "Teledata"}) {
    for (const char* part : {"_dest_string", "_dest_ssid", "_path1_string", "_path1_ssid", "_path2_string",
                             "_path2_ssid", "_txrate_rf"}) {
      EXPECT_TRUE(report->isAncestorOf(find<QWidget>(std::string(prefix) + part))) << prefix << part;
    }
  }
  for (const char* name : {"Teletitle", "Tele_holdoff", "Tele_enable"}) EXPECT_TRUE(report->isAncestorOf(find<QWidget>(name)));
  for (int k = 1; k <= 5; ++k) {
    for (const char* part : {"name", "units", "source", "coefa", "coefb", "coefc", "average"}) {
      EXPECT_TRUE(analog->isAncestorOf(find<QWidget>(analogControl(k, part))));
    }
    auto* button = find<QPushButton>(analogButton(k));
    EXPECT_TRUE(analog->isAncestorOf(button));
    EXPECT_EQ(button->text(), QStringLiteral("Default parameters"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Default parameters for analog channel."));
  }
  for (int k = 1; k <= 8; ++k) {
    QWidget* page = k <= 4 ? digital14 : digital58;
    for (const char* part : {"name", "units", "source", "inverted"}) {
      EXPECT_TRUE(page->isAncestorOf(find<QWidget>(digitalControl(k, part))));
    }
    auto* button = find<QPushButton>(digitalButton(k));
    EXPECT_TRUE(page->isAncestorOf(button));
    EXPECT_EQ(button->text(), QStringLiteral("Default parameters"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Default parameters for digital channel."));
  }
  for (int k = 1; k <= 4; ++k) EXPECT_TRUE(wxpins->isAncestorOf(find<QWidget>("WXPins_output" + std::to_string(k))));

  const QStringList reportLabels = labelTexts(report);
  for (const char* text : {"Telemetry parameters:", "Telemetry data:", "Dest:", "Path:", "RF[min]:", "-"}) {
    EXPECT_TRUE(reportLabels.contains(QString::fromLatin1(text))) << text;
  }
  EXPECT_EQ(reportLabels.count(QStringLiteral("Path:")), 2);
  EXPECT_TRUE(std::any_of(reportLabels.begin(), reportLabels.end(),
                          [](const QString& t) { return t.contains(QStringLiteral("chapter 13")); }));
  const QStringList analogLabels = labelTexts(analog);
  for (const char* text : {"Analog 1:", "Analog 5:", "Name:", "Units:", "Source:", "Coeff A:", "Coeff B:", "Coeff C:",
                           "1 min average:",
                           "Note: types of telemetry sources are: (M) - from WXQuantaBox, (E) - from external devices, "
                           "(I) - device internal sources."}) {
    EXPECT_TRUE(analogLabels.contains(QString::fromLatin1(text))) << text;
  }
  for (QWidget* page : {digital14, digital58}) {
    const QStringList labels = labelTexts(page);
    for (const char* text : {"Name:", "Label", "Source", "Inverted:"}) {
      EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
    }
  }
  EXPECT_TRUE(labelTexts(digital14).contains(QStringLiteral("Digital 4:")));
  EXPECT_TRUE(labelTexts(digital58).contains(QStringLiteral("Digital 5:")));
  const QStringList weatherLabels = labelTexts(find<QWidget>("TabSheet_weather_reports"));
  for (const char* text : {"Weather report:", "Dest:", "Path 1:", "Path 2:", "RF[min]:", "Enable if:",
                           "Send position:", "Comment:", ","}) {
    EXPECT_TRUE(weatherLabels.contains(QString::fromLatin1(text))) << text;
  }
}

TEST_F(TelemetryWeatherTabs, ChannelsStartFromTheirPresets) {
  EXPECT_EQ(find<QComboBox>("Teleanalog1_source")->currentText(), QStringLiteral("(I) Input voltage"));
  EXPECT_EQ(find<QComboBox>("Teleanalog1_source")->count(), 15);
  EXPECT_EQ(find<QComboBox>("Teleanalog4_source")->itemText(14), QStringLiteral("(M) Water depth [cm]"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog1_coefb")->text(), QStringLiteral("0.075"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog5_name")->text(), QStringLiteral("A5"));
  EXPECT_EQ(find<QComboBox>("Teledigital8_source")->currentText(), QStringLiteral("(M) Input 4"));
  EXPECT_EQ(find<QComboBox>("Teledigital8_source")->count(), 9);
  EXPECT_EQ(find<QLineEdit>("Teledigital8_name")->text(), QStringLiteral("I4"));
  EXPECT_EQ(find<QLineEdit>("Teledigital3_units")->text(), QStringLiteral("On"));
  EXPECT_EQ(find<QComboBox>("Teledigital3_inverted")->currentText(), QStringLiteral("No"));
  EXPECT_EQ(find<QComboBox>("Weather_enable")->currentText(), QStringLiteral("GPS fixed"));
  EXPECT_EQ(find<QComboBox>("Weather_position")->currentText(), QStringLiteral("GPS time/position"));
  EXPECT_EQ(find<QLineEdit>("Weather_comment")->maxLength(), 32);
  EXPECT_EQ(find<QLineEdit>("Teleanalog3_units")->maxLength(), 6);
  EXPECT_EQ(find<QLineEdit>("Teledigital2_units")->maxLength(), 5);
  auto* name = find<QLineEdit>("Teledigital6_name");
  name->clear();
  QTest::keyClicks(name, QStringLiteral("ABCDE"));
  EXPECT_EQ(name->text(), QStringLiteral("ABC"));
}

// Picking a source changes nothing else; the button then fills the channel.
TEST_F(TelemetryWeatherTabs, DefaultParametersButtonFillsTheChannel) {
  auto* source = find<QComboBox>("Teleanalog2_source");
  auto* average = find<QComboBox>("Teleanalog2_average");
  average->setCurrentIndex(1);
  find<QLineEdit>("Teleanalog2_name")->setText(QStringLiteral("mine"));
  source->setFocus();
  for (int i = 0; i < 9; ++i) QTest::keyClick(source, Qt::Key_Down);
  ASSERT_EQ(source->currentText(), QStringLiteral("(M) Temperature (DS18B20)"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_name")->text(), QStringLiteral("mine"));
  EXPECT_EQ(average->currentIndex(), 1);

  QTest::mouseClick(find<QPushButton>("Button_teleanalog2_default"), Qt::LeftButton);
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_name")->text(), QStringLiteral("Temp"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_units")->text(), QStringLiteral("C"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_coefa")->text(), QStringLiteral("0"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_coefb")->text(), QStringLiteral("0.5"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog2_coefc")->text(), QStringLiteral("-64"));
  EXPECT_EQ(average->currentText(), QStringLiteral("Off"));
  EXPECT_EQ(find<QLineEdit>("Teleanalog1_name")->text(), QStringLiteral("Vin"));  // other channels untouched

  find<QComboBox>("Teledigital7_source")->setCurrentIndex(0);
  find<QComboBox>("Teledigital7_inverted")->setCurrentIndex(1);
  QTest::mouseClick(find<QPushButton>("Button_teledigital7_default"), Qt::LeftButton);
  EXPECT_EQ(find<QLineEdit>("Teledigital7_name")->text(), QStringLiteral("B7"));
  EXPECT_EQ(find<QLineEdit>("Teledigital7_units")->text(), QStringLiteral("Non"));
  EXPECT_EQ(find<QComboBox>("Teledigital7_inverted")->currentText(), QStringLiteral("No"));
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(TelemetryWeatherTabs, WriteConfigRefusesATypedCommentWithANonAsciiLetter) {
  auto* comment = find<QLineEdit>("Weather_comment");
  comment->clear();
  QTest::keyClicks(comment, QStringLiteral("Pogoda "));
  // A letter outside ASCII, typed as a key with its text.
  QTest::sendKeyEvent(QTest::Click, comment, Qt::Key_unknown, QString::fromUtf8("ł"), Qt::NoModifier);
  ASSERT_EQ(comment->text(), QString::fromUtf8("Pogoda ł"));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0], QStringLiteral("Weather report comment - forbidden characters."));
  boxes.clear();
  comment->setText(QStringLiteral("fine"));
  find<QLineEdit>("Tele_holdoff")->setText(QStringLiteral("256"));
  QTest::mouseClick(find<QPushButton>("Button_write_config"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0], QStringLiteral("First telemetry data packet delay range error (0 - 250)."));
}

// Shown on screen, every control of the two tabs lies wholly inside its page,
// labels and lists are not squeezed below the width their texts need, and the
// channel columns line up.
TEST_F(TelemetryWeatherTabs, NothingIsClippedAndColumnsLineUp) {
  window->show();
  auto* top = find<QTabWidget>("PageControl1");
  auto* inner = find<QTabWidget>("PageControl2");
  const auto check = [&](QWidget* page) {
    QApplication::processEvents();
    ASSERT_TRUE(page->isVisible()) << page->objectName().toStdString();
    for (QWidget* w : page->findChildren<QWidget*>()) {
      if (!w->isVisible() || qobject_cast<QTabWidget*>(w->parentWidget())) continue;
      const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
      EXPECT_TRUE(page->rect().contains(r)) << w->objectName().toStdString() << " on " << page->objectName().toStdString();
      auto* label = qobject_cast<QLabel*>(w);
      if ((label && !label->wordWrap()) || qobject_cast<QPushButton*>(w)) {
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
      }
      // A closed list shows its longest item whole, beside the arrow.
      if (auto* combo = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < combo->count(); ++i) {
          EXPECT_GE(combo->width() - combo->fontMetrics().horizontalAdvance(combo->itemText(i)), 20)
              << combo->objectName().toStdString() << ": " << combo->itemText(i).toStdString();
        }
      }
    }
  };
  top->setCurrentWidget(find<QWidget>("TabSheet_telemetry_reports"));
  for (int i = 0; i < inner->count(); ++i) {
    inner->setCurrentIndex(i);
    check(inner->widget(i));
  }
  for (const char* part : {"name", "units", "source", "coefa", "average"}) {
    for (int k = 2; k <= 5; ++k) {
      EXPECT_EQ(find<QWidget>(analogControl(k, part))->x(), find<QWidget>(analogControl(1, part))->x()) << part;
      EXPECT_EQ(find<QWidget>(analogControl(k, part))->width(), find<QWidget>(analogControl(1, part))->width())
          << part;
    }
  }
  top->setCurrentWidget(find<QWidget>("TabSheet_weather_reports"));
  check(find<QWidget>("TabSheet_weather_reports"));
  EXPECT_EQ(find<QWidget>("Weather_enable_label")->x(), find<QWidget>("Weather_enable")->x());
}

}  // namespace
}  // namespace trekmor
