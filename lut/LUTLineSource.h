#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "lut/ReadStatus.h"

namespace velluma {

// The lines of one LUT file, read up to each line feed. Every failed read raises
// std::ios_base::failure: a file that cannot be opened, a read error, and asking for a line
// past the end of the file. Afterwards FailureStatus() tells which of these it was. A carriage
// return before the line feed stays in the line; the readers trim lines or stop parsing at it.
class LUTLineSource {
 public:
  LUTLineSource();

  void Open(std::string_view path);

  // The next line as it is. The reference stays valid until the next call.
  const std::string& Next();
  // The next line without leading and trailing white space.
  std::string NextTrimmed();
  // The next line that is not blank, trimmed.
  std::string NextNonBlankTrimmed();

  // The status a read failure ends in: 3 once the end of the file has been reached, 2 when the
  // file could not be opened or a read failed before its end, 3 when the failure came from a
  // parser while the file itself was read without fault.
  ReadStatus FailureStatus() const;

 private:
  std::ifstream stream_;
  std::string line_;
};

}  // namespace velluma
