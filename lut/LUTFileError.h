#pragma once

#include <stdexcept>
#include <string>

namespace velluma {

// A direct LUT table file that cannot be opened or read: "Cannot open file "<path>". <reason>".
// It is not caught by the load: it ends the Open or drop action and reaches the application's
// top-level handler, which shows its text; the tables and flags stay as they were.
class LUTFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // The error for the file `path` that `reason` (the system's words) kept from being read.
  static LUTFileError CannotOpen(const std::string& path, const std::string& reason) {
    return LUTFileError("Cannot open file \"" + path + "\". " + reason);
  }
};

}  // namespace velluma
