// The configurator's entry point.
#include <QApplication>
#include <QFile>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/arguments.h"
#include "ui/startup.h"

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/filename.h"

namespace {

// The arguments as UTF-16 from the system, in UTF-8: main's would have
// passed through the ANSI code page, losing letters outside it.
std::vector<std::string> programArguments(int, char*[]) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) {
    arguments.push_back(trekmor::utf8FromPath(std::filesystem::path(wide[i])));
  }
  LocalFree(wide);
  return arguments;
}

// A program of the graphical subsystem has no console. Its standard streams
// work where the caller redirected them (a script, a pipe); started from a
// console without redirection, --help and --version are written to that
// console instead of nowhere.
void reachConsole() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((output == nullptr || output == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    FILE* stream = nullptr;
    freopen_s(&stream, "CONOUT$", "w", stdout);
    freopen_s(&stream, "CONOUT$", "w", stderr);
    std::cout.clear();
    std::cerr.clear();
  }
}

QString fileArgument(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

#else

namespace {

std::vector<std::string> programArguments(int argc, char* argv[]) { return {argv + 1, argv + argc}; }

void reachConsole() {}

QString fileArgument(const std::string& name) { return QFile::decodeName(name.c_str()); }

}  // namespace

#endif

int main(int argc, char* argv[]) {
  // The arguments are read before Qt starts: --help, --version and a usage
  // error need no display.
  const std::vector<std::string> texts = programArguments(argc, argv);
  const std::vector<std::string_view> arguments(texts.begin(), texts.end());
  const trekmor::WindowArguments parsed = trekmor::parseWindowArguments(arguments);
  switch (parsed.action) {
    case trekmor::WindowArguments::Action::Help:
      reachConsole();
      std::cout << trekmor::windowUsage() << std::flush;
      return 0;
    case trekmor::WindowArguments::Action::Version:
      reachConsole();
      std::cout << trekmor::windowVersion() << std::flush;
      return 0;
    case trekmor::WindowArguments::Action::UsageError:
      reachConsole();
      std::cerr << trekmor::kConfiguratorProgramName << ": " << parsed.problem << "\n\n"
                << trekmor::windowUsage() << std::flush;
      return 2;
    case trekmor::WindowArguments::Action::Run:
      break;
  }
  QApplication app(argc, argv);
  return trekmor::runConfigurator(app, trekmor::defaultStartupHooks(), fileArgument(parsed.file));
}
