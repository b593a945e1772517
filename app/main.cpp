// The configurator's entry point.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/mainwindow.h"
#include "ui/qtui.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(trekmor::kApplicationTitle));
  try {
    trekmor::MainWindow window;
    window.show();
    QApplication::exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QString::fromLatin1(trekmor::kApplicationTitle), QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QString::fromLatin1(trekmor::kApplicationTitle),
                          QStringLiteral("Unknown exception."));
  }
  return 0;
}
