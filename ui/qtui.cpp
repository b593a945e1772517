#include "ui/qtui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "ui/qtfields.h"

namespace trekmor {

QtUserInterface::QtUserInterface(QWidget* parent, QPlainTextEdit* log, QProgressBar* progress)
    : m_parent(parent), m_log(log), m_progress(progress) {}

void QtUserInterface::information(std::string_view text) {
  show(Box::Information, QStringLiteral("Information"), fromSingleByte(text));
}

void QtUserInterface::error(std::string_view text) {
  show(Box::Error, QString::fromLatin1(kApplicationTitle), fromSingleByte(text) + QLatin1Char('.'));
}

void QtUserInterface::message(std::string_view text) {
  // The device's lines end in CR LF; a Qt label breaks lines at LF alone.
  QString shown = fromSingleByte(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  show(Box::Plain, QString::fromLatin1(kApplicationTitle), shown);
}

void QtUserInterface::show(Box box, const QString& caption, const QString& text) {
  if (m_sink) {
    m_sink(box, caption, text);
    return;
  }
  const QMessageBox::Icon icon = box == Box::Information ? QMessageBox::Information
                                 : box == Box::Error     ? QMessageBox::Critical
                                                         : QMessageBox::NoIcon;
  QMessageBox message(icon, caption, text, QMessageBox::Ok, m_parent);
  message.exec();
}

void QtUserInterface::log(std::string_view line) { m_log->appendPlainText(fromSingleByte(line)); }

void QtUserInterface::setProgressRange(int maximum) { m_progress->setRange(0, maximum); }

void QtUserInterface::setProgress(int position) { m_progress->setValue(position); }

void QtUserInterface::processEvents() { QApplication::processEvents(); }

}  // namespace trekmor
