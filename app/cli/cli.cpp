#include "app/cli/cli.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "app/cli/devicecommands.h"
#include "app/cli/history.h"
#include "app/cli/trackers.h"
#include "app/cli/overview.h"
#include "app/cli/offline.h"
#include "platform/ascii.h"
#include "product/product.h"

namespace trekmor::cli {

void ConsoleInterface::information(std::string_view text) {
  m_problem = text;
  m_err << text << '\n' << std::flush;
}

void ConsoleInterface::error(std::string_view text) {
  m_problem = std::string(text) + ".";
  m_err << text << ".\n" << std::flush;
}

void ConsoleInterface::log(std::string_view line) {
  // The device flows' progress: one line per page or firmware block.
  const bool progress = line.starts_with("Page read: ") || line.starts_with("Page written: ");
  if (progress && m_quiet) return;
  if (!progress) m_lastLog = line;
  m_out << line << '\n' << std::flush;
}

void ConsoleInterface::message(std::string_view text) {
  // The box's lines end in CR LF; on a console a line ends in LF.
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    m_out << text.substr(start, end - start) << '\n';
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  m_out << std::flush;
}

const std::string* Invocation::value(const OptionDecl& option) const {
  const auto found = options.find(option.name);
  return found == options.end() ? nullptr : &found->second.back();
}

std::vector<std::string> Invocation::values(const OptionDecl& option) const {
  const auto found = options.find(option.name);
  return found == options.end() ? std::vector<std::string>() : found->second;
}

const std::vector<Command>& commandTable() {
  static const std::vector<Command> commands{
      {"defaults", "OUT.cfg", "write the start values as a configuration file", 1, {}, runDefaults},
      {"pack", "CONFIG.cfg OUT.bin [--set SECTION.KEY=VALUE]... [--seed N]",
       "load a configuration file over the start values and write the 5120-byte configuration image", 2,
       {kSetOption, kSeedOption}, runPack},
      {"unpack", "IN.bin OUT.cfg", "test and unpack a configuration image and save it as a configuration file", 2,
       {}, runUnpack},
      {"read", "OUT.cfg [--serial SERIAL|--device PATH]",
       "read the configuration from the device (Read config) and save it as a configuration file", 1,
       {kSerialOption, kDeviceOption}, runRead},
      {"write",
       "CONFIG.cfg [--verify] [--backup BACKUP.cfg|BACKUP.bin [--force]] [--keep-before] [--set SECTION.KEY=VALUE]...\n"
       "      [--seed N] [--serial SERIAL|--device PATH]",
       "load a configuration file over the start values and write it to the device (Write config); --backup\n"
       "      first saves what the device holds (--force: over an existing file), --keep-before keeps it in the\n"
       "      history, --verify reads every page back and compares it",
       1, {kVerifyOption, kBackupOption, kForceOption, kKeepBeforeOption, kSetOption, kSeedOption, kSerialOption,
           kDeviceOption},
       runWrite},
      {"check", "CONFIG.cfg [--set SECTION.KEY=VALUE]... [--json]",
       "load a configuration file and print every check of the pack that fails, one line each", 1,
       {kSetOption, kJsonOption}, runCheck, 0, true},
      {"diff", "A B [--json] [--serial SERIAL|--device PATH]",
       "print the settings whose values differ between A and B, each a .cfg file, a 5120-byte .bin\n"
       "      image, the word device or history:ID",
       2, {kJsonOption, kSerialOption, kDeviceOption}, runDiff, 0, true},
      {"settings", "[--json]", "list every setting: its file key, form, tab, caption, start value and choices", 0,
       {kJsonOption}, runSettings, 0, true},
      {"info", "[--json] [--serial SERIAL|--device PATH]",
       "show the device's firmware version, hardware version and serial number", 0,
       {kJsonOption, kSerialOption, kDeviceOption}, runInfo},
      {"upload-firmware", "[IMAGE] [--keep-before] [--serial SERIAL|--device PATH]",
       "send the firmware image the program carries, or the named image file, to the device;\n"
       "      --keep-before first keeps the device's configuration in the history",
       0, {kKeepBeforeOption, kSerialOption, kDeviceOption}, runUploadFirmware, 1},
      {"devices", "[--json]",
       "list the trackers connected: serial number, firmware version, hardware version and path", 0,
       {kJsonOption}, runDevices},
      {"history",
       "[--serial SERIAL] [--json] | export ID OUT.bin|OUT.cfg | restore ID [--serial SERIAL|--device PATH]\n"
       "      [--verify] | prune --keep N [--serial SERIAL]",
       "list the configurations every tracker has held, newest first; export one as an image or a\n"
       "      configuration file, write one back to its tracker, or keep only the N newest of each tracker",
       0, {kSerialOption, kDeviceOption, kJsonOption, kVerifyOption, kKeepOption}, runHistory, 3},
  };
  return commands;
}

void diagnose(const Invocation& invocation, std::string_view text) {
  invocation.ui.noteProblem(text);
  invocation.err << kProgramName << ": " << text << '\n' << std::flush;
}

int exitStatus(DeviceOutcome outcome) { return outcome == DeviceOutcome::Done ? kExitSuccess : kExitStopped; }

int exitStatus(LoadResult result) { return result == LoadResult::Loaded ? kExitSuccess : kExitStopped; }

int exitStatus(const SaveResult& result) {
  switch (result.status) {
    case SaveResult::Status::Ok:
      return kExitSuccess;
    case SaveResult::Status::ConversionError:
      return kExitStopped;
    case SaveResult::Status::WriteFailed:
      break;
  }
  return kExitUsage;
}

void printJson(const Invocation& invocation, const nlohmann::ordered_json& document) {
  invocation.ui.notePrinted();
  invocation.out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n'
                 << std::flush;
}

int cannotRead(const Invocation& invocation, const std::string& path, const ReadFailure& failure) {
  invocation.ui.setSubject(path);
  diagnose(invocation, failure.kind == ReadFailure::Kind::TooLarge ? readFailureText(path, failure)
                                                                   : "cannot read " + readFailureText(path, failure));
  return kExitUsage;
}

namespace {

// Edits to turn one name into the other, letter case ignored.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = asciiLower(a[i - 1]) == asciiLower(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string closestNames(std::string_view name, const std::vector<std::string>& known, std::size_t count) {
  std::vector<std::pair<std::size_t, std::string>> ranked;
  for (const std::string& candidate : known) ranked.emplace_back(editDistance(name, candidate), candidate);
  const std::size_t shown = std::min(count, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(shown), ranked.end());
  std::string text;
  for (std::size_t k = 0; k < shown; ++k) text += (k ? ", " : "") + ranked[k].second;
  return text;
}

namespace {

void printUsage(std::ostream& stream) {
  stream << "Usage: " << kProgramName << " COMMAND ARGUMENTS...\n\nCommands:\n";
  for (const Command& command : commandTable()) {
    stream << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary << '\n';
  }
  stream << "  --help\n      show this text\n  --version\n      show the version\n\n"
            "Texts of message boxes go to standard error, log lines to standard output; for check, diff,\n"
            "settings and any --json, standard output holds only their data and log lines go to standard error.\n"
            "--seed N seeds the image stamp (default: the current time).\n"
            "--set SECTION.KEY=VALUE (repeatable) gives a setting a value as if the file held it.\n"
            "--json prints one JSON document on standard output; a command that fails prints one with an\n"
            "error member.\n"
            "--quiet (any command) leaves out the per-page progress lines.\n"
            "Exit status: 0 success; 1 operation stopped (failed check, conversion error, rejected file,\n"
            "failed integrity or version test, no device, a device exchange that failed, a backup that\n"
            "could not be made, a verification that failed) or, for check, failures found; 2 usage error\n"
            "or a file that cannot be read or written. diff as diff(1): 0 equal, 1 different, 2 trouble.\n"
            "No output file is created or changed when a command fails.\n";
}

// One line of what was wrong and where to read more; with --json also its document.
int usageError(std::ostream& out, std::ostream& err, bool json, std::string_view text) {
  err << kProgramName << ": " << text << "\nTry '" << kProgramName << " --help'.\n" << std::flush;
  if (json) {
    out << nlohmann::ordered_json{{"error", {{"message", text}}}}.dump(2, ' ', false,
                                                                       nlohmann::ordered_json::error_handler_t::replace)
        << '\n'
        << std::flush;
  }
  return kExitUsage;
}

std::vector<std::string> commandNames() {
  std::vector<std::string> names;
  for (const Command& command : commandTable()) names.emplace_back(command.name);
  return names;
}

// The document of a failed --json command that printed none.
void printFailure(const Invocation& invocation, int status) {
  const ConsoleInterface& ui = invocation.ui;
  nlohmann::ordered_json error{
      {"message", ui.problem().empty() ? "failed with exit status " + std::to_string(status) : ui.problem()}};
  if (!ui.subject().empty()) error["file"] = ui.subject();
  printJson(invocation, {{"error", error}});
}

}  // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const bool json = std::find(arguments.begin(), arguments.end(), kJsonOption.name) != arguments.end();
  const auto usage = [&](std::string_view text) { return usageError(out, err, json, text); };
  if (arguments.empty()) return usage("no command given");
  if (arguments[0] == "--help" || arguments[0] == "-h") {
    printUsage(out);
    return kExitSuccess;
  }
  if (arguments[0] == "--version" || arguments[0] == "-v") {
    out << kProgramName << ' ' << kVersion << '\n' << std::flush;
    return kExitSuccess;
  }
  const Command* command = nullptr;
  for (const Command& candidate : commandTable()) {
    if (candidate.name == arguments[0]) command = &candidate;
  }
  if (!command) {
    return usage("unknown command '" + arguments[0] + "'; the closest are " + closestNames(arguments[0], commandNames(), 2));
  }

  std::vector<std::string> positional;
  std::map<std::string, std::vector<std::string>, std::less<>> options;
  bool quiet = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      printUsage(out);
      return kExitSuccess;
    }
    if (argument == kQuietOption.name) {
      quiet = true;
      continue;
    }
    if (argument.size() > 1 && argument[0] == '-') {
      const auto option = std::find_if(command->options.begin(), command->options.end(),
                                       [&](const OptionDecl& o) { return o.name == argument; });
      if (option == command->options.end()) {
        return usage("unknown option '" + argument + "' for " + std::string(command->name));
      }
      if (options.contains(argument) && !option->repeatable) {
        return usage("option '" + argument + "' is given twice");
      }
      if (option->takesValue && i + 1 >= arguments.size()) {
        return usage("option '" + argument + "' needs a value");
      }
      options[argument].push_back(option->takesValue ? arguments[++i] : std::string());
      continue;
    }
    positional.push_back(argument);
  }
  // Data on standard output stands alone: the log and the boxes go to the error stream.
  const bool data = command->dataOutput || options.contains(kJsonOption.name);
  ConsoleInterface ui(data ? err : out, err);
  ui.setQuiet(quiet);
  Invocation invocation{std::move(positional), std::move(options), ui, out, err};
  if (invocation.arguments.size() < command->argumentCount ||
      invocation.arguments.size() > command->argumentCount + command->optionalArguments) {
    const std::string takes = command->synopsis.empty() ? "no arguments" : std::string(command->synopsis);
    return usage(std::string(command->name) + " takes " + takes);
  }
  const int status = command->run(invocation);
  if (status != kExitSuccess && invocation.given(kJsonOption) && !ui.printed()) printFailure(invocation, status);
  return status;
}

}  // namespace trekmor::cli
