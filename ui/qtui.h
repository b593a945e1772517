// The window's side of UserInterface: message boxes, the log pane Memo1 and
// the progress bar ProgressBar1.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

#include "settings/userinterface.h"

class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace trekmor {

inline constexpr const char* kApplicationTitle = "APRS Trekmor Configurator";

class QtUserInterface final : public UserInterface {
 public:
  enum class Box { Information, Error, Plain };
  // Tests replace the modal boxes with a recorder.
  using BoxSink = std::function<void(Box, const QString& caption, const QString& text)>;

  QtUserInterface(QWidget* parent, QPlainTextEdit* log, QProgressBar* progress);
  void setBoxSink(BoxSink sink) { m_sink = std::move(sink); }

  void information(std::string_view text) override;
  void error(std::string_view text) override;
  void message(std::string_view text) override;
  void log(std::string_view line) override;
  void setProgressRange(int maximum) override;
  void setProgress(int position) override;
  void processEvents() override;
  void showSpecialStrings() override;
  // What showSpecialStrings does: the window opens its special-strings window.
  void setSpecialStringsHandler(std::function<void()> handler) { m_specialStrings = std::move(handler); }

 private:
  void show(Box box, const QString& caption, const QString& text);

  QWidget* m_parent;
  QPlainTextEdit* m_log;
  QProgressBar* m_progress;
  BoxSink m_sink;
  std::function<void()> m_specialStrings;
  QElapsedTimer m_lastPaint;   // the progress bar's last immediate repaint
  QElapsedTimer m_lastEvents;  // the last round of event processing
};

}  // namespace trekmor
