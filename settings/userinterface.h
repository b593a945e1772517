// What the core needs of the window around it: message boxes, the log pane,
// the progress bar and a chance to process pending events. The core never
// calls Qt; ui/ implements this with QMessageBox, Memo1 and ProgressBar1, and
// tests use a recording fake.
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
  // Shows the window of special strings for the beacon texts; where there is
  // no window (the command line) nothing happens.
  virtual void showSpecialStrings() {}
};

}  // namespace trekmor
