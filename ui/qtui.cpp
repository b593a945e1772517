#include "ui/qtui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "product/product.h"
#include "ui/qtfields.h"

namespace trekmor {

QString applicationTitle() { return fromSingleByte(kApplicationName); }

QtUserInterface::QtUserInterface(QWidget* parent, QPlainTextEdit* log, QProgressBar* progress)
    : m_parent(parent), m_log(log), m_progress(progress) {}

void QtUserInterface::information(std::string_view text) {
  show(Box::Information, QStringLiteral("Information"), fromSingleByte(text));
}

void QtUserInterface::error(std::string_view text) {
  show(Box::Error, applicationTitle(), fromSingleByte(text) + QLatin1Char('.'));
}

void QtUserInterface::message(std::string_view text) {
  // The device's lines end in CR LF; a Qt label breaks lines at LF alone.
  QString shown = fromSingleByte(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  show(Box::Plain, applicationTitle(), shown);
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

void QtUserInterface::setBusy(bool busy) {
  for (QWidget* control : m_busyControls) control->setEnabled(!busy);
}

void QtUserInterface::log(std::string_view line) { m_log->appendPlainText(fromSingleByte(line)); }

void QtUserInterface::setProgressRange(int maximum) { m_progress->setRange(0, maximum); }

namespace {
// One frame of the screen. Painting the bar or processing events more often
// than this during a transfer shows the user nothing more: painting the bar
// for each of 160 pages took five times the tool's whole share of a write.
constexpr qint64 kFrameMs = 16;

bool due(const QElapsedTimer& last) { return !last.isValid() || last.elapsed() >= kFrameMs; }
}  // namespace

void QtUserInterface::setProgress(int position) {
  // A visible bar repaints itself at once when its value changes, so that it
  // moves while a transfer blocks the window; once per frame is enough, and
  // its ends are always shown.
  if (due(m_lastPaint) || position == m_progress->minimum() || position == m_progress->maximum()) {
    m_progress->setValue(position);
    m_lastPaint.start();
    return;
  }
  m_progress->setUpdatesEnabled(false);
  m_progress->setValue(position);
  m_progress->setUpdatesEnabled(true);  // painted with the next frame
}

void QtUserInterface::processEvents() {
  // Between firmware blocks: the window repaints and answers the user once per frame.
  if (!due(m_lastEvents)) return;
  QApplication::processEvents();
  m_lastEvents.start();
}

}  // namespace trekmor
