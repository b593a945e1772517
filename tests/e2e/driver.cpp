// Loaded with LD_PRELOAD into the unchanged configurator for whole-program
// tests: once the message loop runs, it clicks the buttons named in
// TREKMOR_E2E_CLICKS (comma-separated objectNames) in order, answers every
// message box with OK while recording it, writes the C library's decimal
// separator, the log pane and the boxes
// to TREKMOR_E2E_OUT (and a picture of the window to TREKMOR_E2E_SCREENSHOT,
// when set) and ends the program.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <clocale>

namespace {

QStringList& boxes() {
  static QStringList list;
  return list;
}

QString oneLine(QString text) {
  text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  return text;
}

void answerBoxes() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
    boxes() << QStringLiteral("box: ") + box->windowTitle() + QLatin1Char('|') + oneLine(box->text());
    box->done(QMessageBox::Ok);
  }
}

QWidget* mainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QStringLiteral("Form1") && widget->isVisible()) return widget;
  }
  return nullptr;
}

void finish(QWidget* window) {
  const QString screenshot = qEnvironmentVariable("TREKMOR_E2E_SCREENSHOT");
  if (!screenshot.isEmpty()) window->grab().save(screenshot);
  QFile out(qEnvironmentVariable("TREKMOR_E2E_OUT"));
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    QTextStream stream(&out);
    // The C library's decimal separator in force in the program, so that a
    // test can tell that the locale it asked for was really used.
    stream << "decimal point: " << std::localeconv()->decimal_point << '\n';
    const auto* memo = window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    const QString log = memo != nullptr ? memo->toPlainText() : QString();
    if (!log.isEmpty()) {
      for (const QString& line : log.split(QLatin1Char('\n'))) stream << "log: " << line << '\n';
    }
    for (const QString& box : boxes()) stream << box << '\n';
  }
  QCoreApplication::exit(0);
}

void clickAll() {
  QWidget* window = mainWindow();
  if (window == nullptr) {  // not shown yet (a splash screen may come first)
    QTimer::singleShot(50, clickAll);
    return;
  }
  const QStringList names = qEnvironmentVariable("TREKMOR_E2E_CLICKS").split(QLatin1Char(','), Qt::SkipEmptyParts);
  for (const QString& name : names) {
    if (auto* button = window->findChild<QPushButton*>(name)) {
      button->click();
    } else {
      boxes() << QStringLiteral("missing button: ") + name;
    }
  }
  finish(window);
}

void start() {
  auto* boxTimer = new QTimer(QCoreApplication::instance());
  QObject::connect(boxTimer, &QTimer::timeout, answerBoxes);
  boxTimer->start(10);
  QTimer::singleShot(0, clickAll);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
