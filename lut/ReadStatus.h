#pragma once

#include <cstdint>

namespace velluma {

// The result of LUTReader::Read.
enum class ReadStatus : std::uint8_t {
  Success = 0,       // the result has been stored
  BadArguments = 1,  // no path, or no place for the result
  FileError = 2,     // the file cannot be opened, or a read failed before the end of the file
  ParseError = 3,    // the content does not follow the format, or the file ended early
  OutOfMemory = 4,   // a sample array is too large or cannot be allocated
};

}  // namespace velluma
