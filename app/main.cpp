// The configurator's entry point.
#include <QApplication>
#include <QFile>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/arguments.h"
#include "ui/startup.h"

int main(int argc, char* argv[]) {
  // The arguments are read before Qt starts: --help, --version and a usage
  // error need no display.
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const trekmor::WindowArguments parsed = trekmor::parseWindowArguments(arguments);
  switch (parsed.action) {
    case trekmor::WindowArguments::Action::Help:
      std::cout << trekmor::windowUsage() << std::flush;
      return 0;
    case trekmor::WindowArguments::Action::Version:
      std::cout << trekmor::windowVersion() << std::flush;
      return 0;
    case trekmor::WindowArguments::Action::UsageError:
      std::cerr << trekmor::kConfiguratorProgramName << ": " << parsed.problem << "\n\n"
                << trekmor::windowUsage() << std::flush;
      return 2;
    case trekmor::WindowArguments::Action::Run:
      break;
  }
  QApplication app(argc, argv);
  return trekmor::runConfigurator(app, trekmor::defaultStartupHooks(), QFile::decodeName(parsed.file.c_str()));
}
