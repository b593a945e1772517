// The configurator's command line: an optional configuration file to load
// once the window is up, --help and --version. Read before Qt starts, so
// that --help and --version answer without a display.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace trekmor {

inline constexpr std::string_view kConfiguratorProgramName = "aprs-trekmor-configurator";

struct WindowArguments {
  enum class Action { Run, Help, Version, UsageError };
  Action action = Action::Run;
  std::string file;     // the configuration file to load after start-up; empty: none
  std::string problem;  // what is wrong, for UsageError
};

// Reads the arguments after the program's name. Qt's own options (-platform,
// -style, -session, ...) are left for Qt and skipped here, with their values.
WindowArguments parseWindowArguments(std::span<const std::string_view> arguments);

// The text --help prints.
std::string windowUsage();

// The line --version prints.
std::string windowVersion();

}  // namespace trekmor
