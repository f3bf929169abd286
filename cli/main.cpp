// velluma-cli: the station's procedures from the command line, for scripts and production lines.
#include <iostream>

#include "cli/VellumaCli.h"
#include "platform/Console.h"
#include "platform/InterruptRequest.h"

// A run stopped by a terminating signal has tidied up the devices and its files; the process
// then ends as that signal ends it, so a shell or a service manager sees why.
int main(int argc, char** argv) {
  const int status = velluma::cli::RunVellumaCli(velluma::ProgramArguments(argc, argv), std::cout,
                                                 std::cerr, velluma::StandardErrorIsTerminal());
  std::cout.flush();
  std::cerr.flush();
  velluma::InterruptRequest::EndAsNoted();
  return status;
}
