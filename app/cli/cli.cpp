#include "app/cli/cli.h"

#include "app/cli/devicecommands.h"
#include "app/cli/offline.h"

namespace trekmor::cli {

void ConsoleInterface::information(std::string_view text) { m_err << text << '\n' << std::flush; }

void ConsoleInterface::error(std::string_view text) { m_err << text << ".\n" << std::flush; }

void ConsoleInterface::log(std::string_view line) { m_out << line << '\n' << std::flush; }

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

const std::vector<Command>& commandTable() {
  static const std::vector<Command> commands{
      {"defaults", "OUT.cfg", "write the start values as a configuration file", 1, {}, runDefaults},
      {"pack", "[--seed N] IN.cfg OUT.bin",
       "load a configuration file over the start values and write the 5120-byte configuration image", 2,
       {"--seed"}, runPack},
      {"unpack", "IN.bin OUT.cfg", "test and unpack a configuration image and save it as a configuration file", 2,
       {}, runUnpack},
      {"read", "OUT.cfg", "read the configuration from the device (Read config) and save it as a configuration file",
       1, {}, runRead},
      {"write", "[--seed N] IN.cfg",
       "load a configuration file over the start values and write it to the device (Write config)", 1, {"--seed"},
       runWrite},
      {"info", "", "show the device's firmware version, hardware version and serial number", 0, {}, runInfo},
      {"upload-firmware", "[IMAGE]",
       "send the firmware image the program carries, or the named image file, to the device", 0, {},
       runUploadFirmware, 1},
  };
  return commands;
}

void diagnose(const Invocation& invocation, std::string_view text) {
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

int cannotRead(const Invocation& invocation, const std::string& path) {
  diagnose(invocation, "cannot read " + path);
  return kExitUsage;
}

namespace {

void printUsage(std::ostream& stream) {
  stream << "Usage: " << kProgramName << " COMMAND ARGUMENTS...\n\nCommands:\n";
  for (const Command& command : commandTable()) {
    stream << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary << '\n';
  }
  stream << "  --help\n      show this text\n\n"
            "Texts of message boxes go to standard error, log lines to standard output.\n"
            "--seed N seeds the image stamp (default: the current time).\n"
            "Exit status: 0 success; 1 operation stopped (failed check, conversion error, rejected file,\n"
            "failed integrity or version test, no device, a device exchange that failed); 2 usage error\n"
            "or a file that cannot be read or written.\n"
            "No output file is created or changed when a command fails.\n";
}

int usageError(std::ostream& err, std::string_view text) {
  err << kProgramName << ": " << text << "\n\n";
  printUsage(err);
  return kExitUsage;
}

}  // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return usageError(err, "no command given");
  if (arguments[0] == "--help" || arguments[0] == "-h") {
    printUsage(out);
    return kExitSuccess;
  }
  const Command* command = nullptr;
  for (const Command& candidate : commandTable()) {
    if (candidate.name == arguments[0]) command = &candidate;
  }
  if (!command) return usageError(err, "unknown command '" + arguments[0] + "'");

  ConsoleInterface ui(out, err);
  Invocation invocation{{}, {}, ui, err};
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      printUsage(out);
      return kExitSuccess;
    }
    if (argument.size() > 1 && argument[0] == '-') {
      bool known = false;
      for (std::string_view option : command->options) known = known || option == argument;
      if (!known) return usageError(err, "unknown option '" + argument + "' for " + std::string(command->name));
      if (i + 1 >= arguments.size()) return usageError(err, "option '" + argument + "' needs a value");
      invocation.options[argument] = arguments[++i];
      continue;
    }
    invocation.arguments.push_back(argument);
  }
  if (invocation.arguments.size() < command->argumentCount ||
      invocation.arguments.size() > command->argumentCount + command->optionalArguments) {
    const std::string takes = command->synopsis.empty() ? "no arguments" : std::string(command->synopsis);
    return usageError(err, std::string(command->name) + " takes " + takes);
  }
  return command->run(invocation);
}

}  // namespace trekmor::cli
