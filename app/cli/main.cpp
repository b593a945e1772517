// Entry point of the command-line companion.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/filename.h"

namespace {

// Standard output and error carry the bytes the program writes, as on
// Linux: in the C library's text mode every "\n" would become "\r\n", and
// the "\r\n" of a text that already holds one "\r\r\n". A console shows
// the UTF-8 of file names in messages as UTF-8 while the program runs.
class Console {
 public:
  Console() : m_outputCodePage(GetConsoleOutputCP()) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (m_outputCodePage != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~Console() {
    if (m_outputCodePage != 0) SetConsoleOutputCP(m_outputCodePage);
  }
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

 private:
  UINT m_outputCodePage;  // 0 without a console
};

}  // namespace

// The arguments as UTF-16, so that file names in any language arrive whole
// (main's would pass through the ANSI code page); the program works in UTF-8.
int wmain(int argc, wchar_t* argv[]) {
  const Console console;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(trekmor::utf8FromPath(std::filesystem::path(argv[i])));
  return trekmor::cli::run(arguments, std::cout, std::cerr);
}

#else

int main(int argc, char* argv[]) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return trekmor::cli::run(arguments, std::cout, std::cerr);
}

#endif
