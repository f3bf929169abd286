#pragma once

#include <string>

namespace velluma {

// Removes one file and the folder holding it when the process is ended from outside, then lets
// the process end as it would have: SIGINT, SIGTERM and SIGHUP on POSIX; Ctrl+C, Ctrl+Break and
// the closing of the console window on Windows. One file at a time per process; arming again
// replaces the one armed before.
void ArmInterruptCleanup(const std::string& folder, const std::string& file);
void DisarmInterruptCleanup();

}  // namespace velluma
