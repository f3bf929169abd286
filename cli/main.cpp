// velluma-cli: the station's procedures from the command line, for scripts and production lines.
#include <unistd.h>

#include <iostream>

#include "cli/VellumaCli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return velluma::cli::RunVellumaCli(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
