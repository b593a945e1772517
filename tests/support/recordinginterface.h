// The one UserInterface of the tests: records what the window would show,
// in order, each box with its kind ("information: ", "error: ", "message: ").
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/userinterface.h"

namespace trekmor::testing {

class RecordingInterface final : public UserInterface {
 public:
  void information(std::string_view text) override { boxes.push_back("information: " + std::string(text)); }
  void error(std::string_view text) override { boxes.push_back("error: " + std::string(text)); }
  void message(std::string_view text) override { boxes.push_back("message: " + std::string(text)); }
  void log(std::string_view line) override { lines.emplace_back(line); }
  void setProgressRange(int maximum) override { progress.push_back("max " + std::to_string(maximum)); }
  void setProgress(int position) override { progress.push_back(std::to_string(position)); }
  void processEvents() override {
    ++eventRounds;
    if (onProcessEvents) onProcessEvents();
  }
  void setBusy(bool value) override {
    busy = value;
    busyCalls.push_back(value ? "busy" : "idle");
    if (onBusy) onBusy(value);
  }

  std::vector<std::string> lines;
  std::vector<std::string> boxes;
  std::vector<std::string> progress;
  int eventRounds = 0;
  std::function<void()> onProcessEvents;
  bool busy = false;
  std::vector<std::string> busyCalls;  // "busy" and "idle" in the order told
  std::function<void(bool)> onBusy;
};

}  // namespace trekmor::testing
