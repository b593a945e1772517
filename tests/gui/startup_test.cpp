#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "ui/mainwindow.h"
#include "ui/beaconstringswindow.h"
#include "ui/startup.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

QWidget* topLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String(name)) return w;
  }
  return nullptr;
}

TEST(Startup, StepsRunInOrderAndClosingTheMainWindowEndsTheLoopWithZero) {
  std::vector<std::string> steps;
  std::vector<std::chrono::milliseconds> waits;
  bool splashVisibleWhileWaiting = false;
  bool splashGoneAtLoop = false;
  bool specialHiddenAtLoop = false;
  bool mainVisibleAfterSpecialClosed = false;
  bool centredAtStart = false;
  QString title;

  StartupHooks hooks;
  hooks.trace = [&](std::string_view step) { steps.emplace_back(step); };
  hooks.wait = [&](std::chrono::milliseconds pause) {
    waits.push_back(pause);
    QWidget* splash = topLevel("SplashScreen");
    splashVisibleWhileWaiting = splash && splash->isVisible() && splash->size() == QSize(254, 254) &&
                                (splash->windowFlags() & Qt::FramelessWindowHint) &&
                                (splash->windowFlags() & Qt::WindowStaysOnTopHint);
  };
  hooks.beforeLoop = [&](MainWindow& window) {
    splashGoneAtLoop = topLevel("SplashScreen") == nullptr;
    auto* special = window.findChild<QDialog*>(QStringLiteral("Form2"));
    specialHiddenAtLoop = special && !special->isVisible();
    title = QApplication::applicationDisplayName();
    centredAtStart = (window.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center())
                         .manhattanLength() <= 4;
    // Open the special strings through its button, close it, then close the main window.
    QTimer::singleShot(0, &window, [&window, special, &mainVisibleAfterSpecialClosed] {
      QTimer::singleShot(50, special, [special, &window, &mainVisibleAfterSpecialClosed] {
        EXPECT_TRUE(special->isVisible());
        EXPECT_TRUE(special->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), special);
        special->close();
        QTimer::singleShot(0, &window, [&window, &mainVisibleAfterSpecialClosed] {
          mainVisibleAfterSpecialClosed = window.isVisible();
          window.close();
        });
      });
      window.findChild<QPushButton*>(QStringLiteral("Button_special_strings"))->click();
    });
  };

  QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(runConfigurator(*app, hooks, {}), 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"splash shown", "main window built", "special strings window built",
                                             "waited", "splash removed", "message loop"}));
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0], std::chrono::milliseconds(1500));
  EXPECT_TRUE(splashVisibleWhileWaiting);
  EXPECT_TRUE(splashGoneAtLoop);
  EXPECT_TRUE(specialHiddenAtLoop);
  EXPECT_TRUE(mainVisibleAfterSpecialClosed);
  EXPECT_EQ(title, QStringLiteral("APRS Trekmor Configurator"));
  EXPECT_TRUE(centredAtStart);
}

TEST(Splash, PictureGeneratedWithTheVersion) {
  QFile picture(QStringLiteral(":/pictures/splash.svg"));
  ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
  const QByteArray svg = picture.readAll();
  EXPECT_TRUE(svg.contains((">Configurator " + trekmor::testing::configVersion() + "</text>").c_str())) << svg.toStdString();
  EXPECT_FALSE(svg.contains('@'));
}

TEST(SpecialStrings, ElevenExactLinesInAFixedSizeModalWindow) {
  SpecialStringsWindow window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Beacon special strings"));
  EXPECT_TRUE(window.isModal());
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.width(), 317);
  EXPECT_GE(window.height(), 236);
  const QList<QLabel*> labels = window.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 11);
  EXPECT_EQ(labels[0]->text(), QStringLiteral("<statlat> - inserts latitude defined on  \"Radio\" Tab."));
  EXPECT_EQ(labels[1]->text(), QStringLiteral("<statlong> - inserts longitude defined on  \"Radio\" Tab."));
  EXPECT_EQ(labels[2]->text(), QStringLiteral("<gpsdate> - inserts time received from GPS in format: DDHHMM. "));
  EXPECT_EQ(labels[8]->text(),
            QStringLiteral("<depth> - inserts water depth calculated from sensor connected to WXTideMarker module."));
  EXPECT_EQ(labels[9]->text(), QStringLiteral("Example:"));
  EXPECT_EQ(labels[10]->text(), QStringLiteral("/<gpsdate>z<gpslat>/<gpslong>>Kestrova U=<volt>V."));
  // The placeholders are shown as text, not swallowed as markup.
  for (QLabel* label : labels) EXPECT_EQ(label->textFormat(), Qt::PlainText);
  // Shown, every line lies inside the window.
  window.show();
  for (QLabel* label : labels) {
    EXPECT_TRUE(window.rect().contains(label->geometry())) << label->text().toStdString();
    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
  }
  window.hide();
}

}  // namespace
}  // namespace trekmor
