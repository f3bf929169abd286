// velluma-cli: the station's procedures from the command line, for scripts and production lines.
#include <iostream>

#include "cli/VellumaCli.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
  return velluma::cli::RunVellumaCli(velluma::ProgramArguments(argc, argv), std::cout, std::cerr,
                                     velluma::StandardErrorIsTerminal());
}
