// The window's side of UserInterface: message boxes, the log pane Memo1,
// the progress bar ProgressBar1, and the controls a busy device operation
// switches off.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>

#include "platform/userinterface.h"

class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace trekmor {

// The application's name as Qt text: the error boxes' caption and the task bar's title.
QString applicationTitle();

class QtUserInterface final : public UserInterface {
 public:
  enum class Box { Information, Error, Plain };
  // Tests replace the modal boxes with a recorder.
  using BoxSink = std::function<void(Box, const QString& caption, const QString& text)>;

  QtUserInterface(QWidget* parent, QPlainTextEdit* log, QProgressBar* progress);
  void setBoxSink(BoxSink sink) { m_sink = std::move(sink); }
  // The controls disabled while busy, in the order they are switched off and on again.
  void setBusyControls(QList<QWidget*> controls) { m_busyControls = std::move(controls); }

  void information(std::string_view text) override;
  void error(std::string_view text) override;
  void message(std::string_view text) override;
  void log(std::string_view line) override;
  void setProgressRange(int maximum) override;
  void setProgress(int position) override;
  void processEvents() override;
  void setBusy(bool busy) override;

 private:
  void show(Box box, const QString& caption, const QString& text);

  QWidget* m_parent;
  QPlainTextEdit* m_log;
  QProgressBar* m_progress;
  BoxSink m_sink;
  QList<QWidget*> m_busyControls;
  QElapsedTimer m_lastPaint;   // the progress bar's last immediate repaint
  QElapsedTimer m_lastEvents;  // the last round of event processing
};

}  // namespace trekmor
