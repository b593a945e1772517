#include "app/arguments.h"

#include <array>

#include "product/product.h"

namespace trekmor {

namespace {

struct QtOption {
  std::string_view name;  // without its leading dash
  bool takesValue;
};

// The options QGuiApplication and QApplication take out of the command line
// themselves. A session manager restarts a program with -session, and users
// pick a style or a platform plugin with -style and -platform.
constexpr std::array kQtOptions{
    QtOption{"platform", true},   QtOption{"platformpluginpath", true}, QtOption{"platformtheme", true},
    QtOption{"plugin", true},     QtOption{"qwindowgeometry", true},    QtOption{"geometry", true},
    QtOption{"qwindowicon", true}, QtOption{"icon", true},              QtOption{"qwindowtitle", true},
    QtOption{"title", true},      QtOption{"session", true},            QtOption{"display", true},
    QtOption{"name", true},       QtOption{"style", true},              QtOption{"stylesheet", true},
    QtOption{"qmljsdebugger", true}, QtOption{"reverse", false},        QtOption{"widgetcount", false},
    QtOption{"nograb", false},    QtOption{"dograb", false},            QtOption{"sync", false},
};

// Qt's option named by `argument` ("-style", "--style" or "-style=fusion"), if any.
const QtOption* qtOption(std::string_view argument, bool& valueAttached) {
  std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
  const std::size_t equals = name.find('=');
  valueAttached = equals != std::string_view::npos;
  if (valueAttached) name = name.substr(0, equals);
  for (const QtOption& option : kQtOptions) {
    if (option.name == name && (option.takesValue || !valueAttached)) return &option;
  }
  return nullptr;
}

WindowArguments usageError(std::string problem) {
  return {WindowArguments::Action::UsageError, {}, std::move(problem)};
}

}  // namespace

WindowArguments parseWindowArguments(std::span<const std::string_view> arguments) {
  WindowArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (isOption && argument == "--") {
      optionsEnded = true;
    } else if (isOption && (argument == "--help" || argument == "-h")) {
      return {WindowArguments::Action::Help, {}, {}};
    } else if (isOption && (argument == "--version" || argument == "-v")) {
      return {WindowArguments::Action::Version, {}, {}};
    } else if (isOption) {
      bool valueAttached = false;
      const QtOption* option = qtOption(argument, valueAttached);
      if (option == nullptr) return usageError("unknown option '" + std::string(argument) + "'");
      if (option->takesValue && !valueAttached && ++i >= arguments.size()) {
        return usageError("option '" + std::string(argument) + "' needs a value");
      }
    } else if (parsed.file.empty()) {
      parsed.file = argument;
    } else {
      return usageError("one configuration file at most, not '" + std::string(argument) + "' as well");
    }
  }
  return parsed;
}

std::string windowUsage() {
  const std::string name(kConfiguratorProgramName);
  return "Usage: " + name + " [FILE.cfg]\n" +
         "       " + name + " --help | --version\n\n"
         "Opens the " + std::string(kApplicationName) +
         ", which reads, edits and writes the settings of an APRS Trekmor\n"
         "connected over USB. FILE.cfg is loaded once the window is up, as \"Read from file\" loads it.\n\n"
         "Options:\n"
         "  -h, --help     show this text and exit\n"
         "  -v, --version  show the version and exit\n\n"
         "Qt's own options (-platform, -style, -session, ...) are handed to Qt.\n"
         "Exit status: 0 when the window has been closed or after --help or --version; 2 usage error.\n";
}

std::string windowVersion() { return std::string(kConfiguratorProgramName) + ' ' + std::string(kVersion) + '\n'; }

}  // namespace trekmor
