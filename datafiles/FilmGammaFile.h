#pragma once

#include <string>

#include "datamodel/UserMemoryTables.h"

namespace velluma {

// The film-gamma table file: one integer per line, read with "%d" from the start of the line
// (blanks before it allowed, anything after it ignored, so a CSV line gives its first field).
//
//   1        nine header values: 1, any, 0, 1, 1, 0, 1, 0, 0
//   7
//   0
//   ...
//   0        then the 1024 table values, entry 0 first, each 0..1023
//   1
//   ...
//   1023
//
// Nothing else may be in the file: no blank line, no comment, no further line. Lines end with
// LF or CR LF and are read in pieces of at most 255 characters.
namespace film_gamma_file {

constexpr int kHeaderValues = 9;
constexpr int kPieceLength = 255;

enum class ReadResult { Loaded, CannotOpen, Invalid };

// Fills `table` from the file. CannotOpen leaves it as it was; Invalid leaves it all zero.
ReadResult Read(const std::string& path, UserMemoryTables::FilmGammaTable& table);

}  // namespace film_gamma_file
}  // namespace velluma
