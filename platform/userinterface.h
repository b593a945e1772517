// What the core needs of the window around it: message boxes, the log pane,
// the progress bar, a chance to process pending events, and word that a long
// operation is under way. The core never calls Qt; ui/ implements this with
// QMessageBox, Memo1 and ProgressBar1, and tests use a recording fake.
#pragma once

#include <string_view>

namespace trekmor {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Information box, caption "Information", one OK button.
  virtual void information(std::string_view text) = 0;
  // The application's standard error box: the application title as caption
  // and a full stop added to the text.
  virtual void error(std::string_view text) = 0;
  // A plain message box with one OK button (the device information).
  virtual void message(std::string_view text) { information(text); }
  // Appends one line to the log pane.
  virtual void log(std::string_view line) = 0;
  virtual void setProgressRange(int maximum) = 0;
  virtual void setProgress(int position) = 0;
  virtual void processEvents() = 0;
  // A long device operation begins (true) or has ended (false). While busy,
  // the window refuses the commands that would start another; what it
  // disables is its own choice. Nothing to do where there is no window.
  virtual void setBusy(bool /*busy*/) {}
};

// Busy for as long as it lives: idle again on every path out of its scope,
// an exception's included.
class BusyScope {
 public:
  explicit BusyScope(UserInterface& ui) : m_ui(ui) { m_ui.setBusy(true); }
  ~BusyScope() { m_ui.setBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  UserInterface& m_ui;
};

}  // namespace trekmor
