// GoogleTest entry for widget tests: one QApplication for the whole run. The
// window's remembered settings and its configuration history live in a
// temporary folder of the run, never in the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  const QTemporaryDir home;
  if (!home.isValid()) return 1;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("settings")));
  qputenv("TREKMOR_HISTORY_DIR", home.filePath(QStringLiteral("history")).toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
