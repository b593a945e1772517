// Program start: title, splash window, main window, special-strings window,
// the pause, and the message loop.
#pragma once

#include <chrono>
#include <functional>
#include <string_view>

class QApplication;
class QString;

namespace trekmor {

class MainWindow;

struct StartupHooks {
  // The pause while the splash stands; the program blocks for it without
  // processing window messages.
  std::function<void(std::chrono::milliseconds)> wait;
  // Told of each step as it happens ("splash shown", "main window built", ...).
  std::function<void(std::string_view)> trace;
  // Called with the main window just before the message loop runs.
  std::function<void(MainWindow&)> beforeLoop;
};

// Runs start-up and the message loop; returns 0 when the main window has been
// closed. An error escaping start-up or the loop is shown in the standard
// error box, and the result is still 0. A non-empty `file` is loaded as soon
// as the loop runs, as "Read from file" loads a chosen file.
int runConfigurator(QApplication& app, const StartupHooks& hooks, const QString& file);

StartupHooks defaultStartupHooks();

}  // namespace trekmor
