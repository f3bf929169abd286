#pragma once

#include <cstddef>
#include <string>

#include "datamodel/CalibrationData.h"

namespace velluma {

// The calibration data file: one set of measurements as sectioned text.
//
//   [ANALYZER]            the instrument model when written (not read back)
//   CA-310
//   [OFFSET]              the analyzer offsets when written (not read back)
//   x=0.0050
//   y=-0.0030
//   [COLOR]               the primaries R, G, B: label, Y, x, y
//   ;	Y	x	y
//   R	61.234	0.6401	0.3299
//   ...
//   [Yxy]                 grey levels 0..255: label, Y, x, y
//   ;	Y	x	y
//   0	0.200	0.3127	0.3290
//   ...
//
// Written with CR LF and tabs; read with LF or CR LF and any blanks, in pieces of at most 255
// characters (a CR LF counts as the one character LF). A ';' line is a comment, an empty line is
// skipped. Rows are taken by their order in a section, not by their labels; the first "[Yxy]" fills
// the grey table, a later one and the integer sections "[CORRECT]", "[WB TABLE]", "[CORRECT
// Stdio/Post]", "[WB TABLE Stdio/Post]" only count. A section holds at most 256 rows: any line
// after the 256th is an error. The file is valid with at least two main sections ("[COLOR]",
// "[Yxy]") and 256 rows in its last section.
namespace calibration_file {

constexpr int kMaxRows = 256;
constexpr int kPieceLength = 255;
// A physical line longer than this makes the file invalid: far beyond any line a legal file
// holds (a data row is some 30 characters), it stops a file without line ends at once.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

struct Header {
  std::string analyzerModel;
  double offsetX = 0;
  double offsetY = 0;
};

// Writes the whole file into a temporary file beside `path` and renames it over `path`, so a
// failed or interrupted save leaves the previous file as it was. False when it cannot be written.
bool Write(const std::string& path, const CalibrationData& data, const Header& header);

enum class ReadResult { Loaded = 1, CannotOpen = 0, Invalid = -1 };

// Reads the file and, when it is valid, replaces `data` with its contents. An invalid file
// clears `data`: a file is never half-loaded. A file that cannot be opened (missing, refused, or
// not a regular file) leaves `data` as it was.
ReadResult Read(const std::string& path, CalibrationData& data);

}  // namespace calibration_file
}  // namespace velluma
