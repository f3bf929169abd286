#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velluma::cli {

// The whole of velluma-cli: reads the arguments that follow the program's name, runs the command
// and returns the exit status (0 done, 1 refused, 2 usage error, abort or error). Results go to
// `out`; message boxes, messages and errors to `err`. `errIsTerminal`: draw the grey ramp's
// progress on `err`. Errors that escape the procedures (settings, CA server, files, conversions)
// are told as "Velluma: text" with status 2.
int RunVellumaCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  bool errIsTerminal);

}  // namespace velluma::cli
