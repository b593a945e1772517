// A UserInterface that records what the window would show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/userinterface.h"

namespace trekmor::testing {

class RecordingInterface final : public UserInterface {
 public:
  // Information and error boxes in the order shown.
  void information(std::string_view text) override { boxes.emplace_back(text); }
  void error(std::string_view text) override { boxes.emplace_back(text); }
  void log(std::string_view line) override { logs.emplace_back(line); }
  void setProgressRange(int maximum) override { progressMaximum = maximum; }
  void setProgress(int position) override { progress.push_back(position); }
  void processEvents() override { ++eventRounds; }

  std::vector<std::string> boxes;
  std::vector<std::string> logs;
  std::vector<int> progress;
  int progressMaximum = 0;
  int eventRounds = 0;
};

}  // namespace trekmor::testing
