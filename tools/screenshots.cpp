// Writes one PNG per tab and sub-tab of the main window, plus the splash
// picture and the special-strings window, into the folder given as argument.
#include <QApplication>
#include <QDir>
#include <QSvgRenderer>
#include <QPainter>
#include <QTabWidget>

#include "ui/mainwindow.h"
#include "ui/beaconstringswindow.h"

namespace {

void shootTabs(QTabWidget* tabs, trekmor::MainWindow& window, const QDir& out, const QString& prefix) {
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    QWidget* page = tabs->widget(i);
    QApplication::processEvents();
    const QString name = prefix + page->objectName();
    window.grab().save(out.filePath(name + QStringLiteral(".png")));
    for (QTabWidget* inner : page->findChildren<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      shootTabs(inner, window, out, name + QLatin1Char('-'));
    }
  }
  tabs->setCurrentIndex(0);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
  QDir().mkpath(out.path());
  trekmor::MainWindow window;
  window.show();
  QApplication::processEvents();
  shootTabs(window.findChild<QTabWidget*>(QStringLiteral("PageControl1")), window, out, QString());

  trekmor::SpecialStringsWindow special;
  special.show();
  QApplication::processEvents();
  special.grab().save(out.filePath(QStringLiteral("special-strings.png")));

  QImage splash(254, 254, QImage::Format_ARGB32);
  splash.fill(Qt::transparent);
  QPainter painter(&splash);
  QSvgRenderer(QStringLiteral(":/pictures/splash.svg")).render(&painter);
  painter.end();
  splash.save(out.filePath(QStringLiteral("splash.png")));
  return 0;
}
