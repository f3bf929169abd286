#pragma once

#include "cli/Command.h"
#include "cli/StationCommands.h"

namespace velluma::cli {

// The files a run is to write, checked before any device is opened by the rules the save itself
// keeps, so that a run never measures every patch only to find it cannot keep them: UsageError
// for a file that could not be written (a folder, a missing folder, a device, one the user may
// not write), for standard output (which carries the table) or standard error, and for one file
// named twice, however its path is spelt.
void CheckOutputs(const OutputFiles& files, Command command);

}  // namespace velluma::cli
