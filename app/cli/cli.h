// The command-line companion: subcommands over the same core as the window,
// for scripting and for configuring many trackers. Each subcommand is one
// entry of the command table; texts the window would show in a message box go
// to standard error, lines it would append to its log pane to standard output.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "configfile/configfile.h"
#include "device/flows.h"
#include "settings/userinterface.h"

namespace trekmor::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitStopped = 1;  // a check, a conversion, a file test or an image test failed
inline constexpr int kExitUsage = 2;    // wrong arguments, or a file that cannot be read or written
inline constexpr std::string_view kProgramName = "aprs-trekmor-cli";

// Message boxes become lines on the error stream, log lines go to the output
// stream; there is no progress bar and no event loop.
class ConsoleInterface final : public UserInterface {
 public:
  ConsoleInterface(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}
  void information(std::string_view text) override;
  // The window's error box adds a full stop; so does its stand-in here.
  void error(std::string_view text) override;
  void log(std::string_view line) override;
  // The device information: the command's output, one line per line of the box.
  void message(std::string_view text) override;
  void setProgressRange(int) override {}
  void setProgress(int) override {}
  void processEvents() override {}

 private:
  std::ostream& m_out;
  std::ostream& m_err;
};

struct Invocation {
  std::vector<std::string> arguments;          // the positional arguments after the command
  std::map<std::string, std::string> options;  // "--name" -> value, for the options the command declares
  ConsoleInterface& ui;
  std::ostream& err;  // the program's own diagnostics ("aprs-trekmor-cli: ...")
};

struct Command {
  std::string_view name;
  std::string_view synopsis;  // arguments as shown in the usage
  std::string_view summary;   // one line of the usage
  std::size_t argumentCount;
  std::vector<std::string_view> options;  // options of this command, each taking one value
  int (*run)(const Invocation&);
  std::size_t optionalArguments = 0;  // arguments that may follow the required ones
};

// Every subcommand, in the order the usage lists them.
const std::vector<Command>& commandTable();

// One line of the program's own on the error stream, prefixed by its name.
void diagnose(const Invocation& invocation, std::string_view text);

// The exit status of each kind of result the commands meet: the one place
// that maps results to statuses.
int exitStatus(DeviceOutcome outcome);
int exitStatus(LoadResult result);
int exitStatus(const SaveResult& result);
// An input file that cannot be read: "cannot read FILE" and its exit status.
int cannotRead(const Invocation& invocation, const std::string& path);

// Runs the program with its arguments (without the program name); returns
// the exit status.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace trekmor::cli
