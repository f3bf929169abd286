#pragma once

#include <string>
#include <vector>

namespace velluma {

// What a console program gets from the system that started it.

// The arguments after the program's name, as UTF-8 text: on POSIX as given in argv; on Windows
// taken from the wide command line, so that a file name in any script arrives intact.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard error is a terminal (a console window), where a progress line may be
// redrawn in place.
bool StandardErrorIsTerminal();

}  // namespace velluma
