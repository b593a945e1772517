#include "ui/startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <exception>
#include <memory>

#include "product/product.h"
#include "ui/mainwindow.h"
#include "ui/picture.h"
#include "ui/qtui.h"
#include "ui/beaconstringswindow.h"

namespace trekmor {

namespace {

std::unique_ptr<QWidget> makeSplash() {
  std::unique_ptr<QWidget> splash(newPicture(QStringLiteral("splash"), QSize(254, 254)));
  splash->setObjectName(QStringLiteral("SplashScreen"));
  splash->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    splash->move(area.center() - QPoint(127, 127));
  }
  return splash;
}

void showError(const QString& text) {
  QMessageBox::critical(nullptr, applicationTitle(), text);
}

void note(const StartupHooks& hooks, std::string_view step) {
  if (hooks.trace) hooks.trace(step);
}

}  // namespace

int runConfigurator(QApplication& app, const StartupHooks& hooks, const QString& file) {
  try {
    // The title is the application's name, which the task bar shows. It is
    // not set as the display name as well: on X11 that would be appended to
    // every window's caption (the main window's caption followed by " — " and the name).
    QApplication::setApplicationName(applicationTitle());
    // The desktop matches the window to the installed entry and icon by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId.data(), qsizetype(kApplicationId.size())));

    std::unique_ptr<QWidget> splash = makeSplash();
    splash->show();
    splash->repaint();
    app.processEvents();  // paint it now: nothing is processed until the loop
    note(hooks, "splash shown");

    MainWindow form1;
    note(hooks, "main window built");
    SpecialStringsWindow form2(&form1);
    form1.setSpecialStringsWindow(&form2);
    note(hooks, "special strings window built");

    if (hooks.wait) hooks.wait(std::chrono::milliseconds(1500));
    note(hooks, "waited");
    splash.reset();
    note(hooks, "splash removed");

    // Centred on the screen when first shown (window managers that place
    // windows themselves may still move it).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      form1.move(screen->availableGeometry().center() - form1.rect().center());
    }
    form1.show();
    if (!file.isEmpty()) QTimer::singleShot(0, &form1, [&form1, file] { form1.openFile(file); });
    if (hooks.beforeLoop) hooks.beforeLoop(form1);
    note(hooks, "message loop");
    QApplication::exec();
  } catch (const std::exception& e) {
    showError(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    showError(QStringLiteral("Unknown error."));
  }
  return 0;
}

StartupHooks defaultStartupHooks() {
  StartupHooks hooks;
  hooks.wait = [](std::chrono::milliseconds pause) { QThread::msleep(static_cast<unsigned long>(pause.count())); };
  return hooks;
}

}  // namespace trekmor
