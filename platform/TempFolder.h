#pragma once

#include <string>

namespace velluma {

// A fresh folder of the caller's own, named `prefix` and a unique tail, in the system's folder
// for temporary files: $TMPDIR (or /tmp) on POSIX, %TEMP% (GetTempPathW) on Windows. Made so
// that no one else can have made it first. std::system_error when none can be made.
std::string MakeTemporaryFolder(const std::string& prefix);

}  // namespace velluma
