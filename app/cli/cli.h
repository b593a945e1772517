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

#include <nlohmann/json_fwd.hpp>

#include "configfile/configfile.h"
#include "device/flows.h"
#include "platform/userinterface.h"
#include "platform/wholefile.h"

namespace trekmor::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitStopped = 1;  // a check, a conversion, a file test or an image test failed
inline constexpr int kExitUsage = 2;    // wrong arguments, or a file that cannot be read or written
inline constexpr std::string_view kProgramName = "aprs-trekmor-cli";

// Message boxes become lines on the error stream, log lines go to the output
// stream; there is no progress bar and no event loop. It keeps the last
// problem it was told of, so that a failed command given --json can still
// print one document that says what went wrong.
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

  // --quiet: the per-page progress lines of the device flows are left out.
  void setQuiet(bool quiet) { m_quiet = quiet; }
  // The file the command is working on, named by a failure's JSON document.
  void setSubject(std::string file) { m_subject = std::move(file); }
  const std::string& subject() const { return m_subject; }
  // A problem the program itself reports (its diagnostics).
  void noteProblem(std::string_view text) { m_problem = text; }
  // The last box, diagnostic, or else log line: what made a command fail.
  const std::string& problem() const { return m_problem.empty() ? m_lastLog : m_problem; }
  // Whether the command has printed its JSON document.
  void notePrinted() { m_printed = true; }
  bool printed() const { return m_printed; }

 private:
  std::ostream& m_out;
  std::ostream& m_err;
  bool m_quiet = false;
  bool m_printed = false;
  std::string m_subject;
  std::string m_problem;
  std::string m_lastLog;
};

// An option a command takes: one that takes a value ("--seed N"), given at
// most once unless it is repeatable, or a flag ("--json").
struct OptionDecl {
  std::string_view name;
  bool takesValue = true;
  bool repeatable = false;
};
inline constexpr OptionDecl kSeedOption{"--seed"};
inline constexpr OptionDecl kSetOption{"--set", true, true};
inline constexpr OptionDecl kVerifyOption{"--verify", false};
inline constexpr OptionDecl kBackupOption{"--backup"};
inline constexpr OptionDecl kJsonOption{"--json", false};
// Taken by every command.
inline constexpr OptionDecl kQuietOption{"--quiet", false};

struct Invocation {
  std::vector<std::string> arguments;  // the positional arguments after the command
  // "--name" -> its values in the order given (a flag has one empty value),
  // for the options the command declares.
  std::map<std::string, std::vector<std::string>, std::less<>> options;
  ConsoleInterface& ui;
  std::ostream& out;  // the command's own output: lists, differences, JSON
  std::ostream& err;  // the program's own diagnostics ("aprs-trekmor-cli: ...")

  bool given(const OptionDecl& option) const { return options.contains(option.name); }
  // The value of an option given once; nullptr when it was not given.
  const std::string* value(const OptionDecl& option) const;
  // Every value of a repeatable option.
  std::vector<std::string> values(const OptionDecl& option) const;
};

struct Command {
  std::string_view name;
  std::string_view synopsis;  // arguments and options as shown in the usage
  std::string_view summary;   // one line of the usage
  std::size_t argumentCount;
  std::vector<OptionDecl> options;
  int (*run)(const Invocation&);
  std::size_t optionalArguments = 0;  // arguments that may follow the required ones
  // Its standard output is data (a list, differences, JSON): log lines and
  // the device information then go to standard error, so that the data
  // stands alone. --json makes any command's output data.
  bool dataOutput = false;
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
// An input file that cannot be read: "cannot read FILE: REASON" (or that it
// is too large) and its exit status.
int cannotRead(const Invocation& invocation, const std::string& path, const ReadFailure& failure);

// The `count` names of `known` nearest to `name` (letter case ignored), nearest first, joined by ", ".
std::string closestNames(std::string_view name, const std::vector<std::string>& known, std::size_t count = 3);

// One JSON document on the command's output. Texts that are not UTF-8 (a
// device's hardware text) are printed with replacement characters. A command
// given --json that fails without having printed one prints
// {"error": {"message": ..., "file": ...}} instead.
void printJson(const Invocation& invocation, const nlohmann::ordered_json& document);

// Runs the program with its arguments (without the program name); returns
// the exit status.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace trekmor::cli
