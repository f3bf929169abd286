#pragma once

#include <cstdint>

namespace velluma {

// The result of LUTReader::Read.
enum class ReadStatus : std::uint8_t {
  Success = 0,       // the result has been stored
  BadArguments = 1,  // no place for the result
  FileError = 2,     // a read of the file's stream failed before its end
  ParseError = 3,    // the content does not follow the format, or the file ended early
  OutOfMemory = 4,   // a sample array is too large or cannot be allocated
};

}  // namespace velluma
