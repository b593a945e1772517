// Entry point of the command-line companion.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return trekmor::cli::run(arguments, std::cout, std::cerr);
}
