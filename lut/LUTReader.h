#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "lut/GridSelection.h"
#include "lut/LUTLineSource.h"
#include "lut/LUTReadData.h"
#include "lut/ReadStatus.h"
#include "lut/RgbTriple.h"

namespace velluma {

// Removes every leading and trailing space, form feed, line feed, carriage return, tab and
// vertical tab. A blank line is one that this makes empty.
std::string TrimWhitespace(std::string_view text);

// Reads one LUT file format into at most one 1D and one 3D table. A reader is made for one file,
// used for one Read and destroyed; it keeps nothing between calls and knows nothing of the
// monitor, the window or the settings. It takes the file's bytes from a stream its caller
// opened: it never opens a file itself.
//
// Inside Read, a line asked for past the end of the file, a keyword whose numbers are missing
// or out of bounds and a data line without three numbers all raise std::ios_base::failure, the
// error a stream with exceptions enabled raises; Read turns it into its status (normally 3) and
// never lets it out. A read error of the stream ends as 2; running out of memory, or a table
// too large to allocate, as 4.
class LUTReader {
 public:
  // Which points of a cube of `width` points per axis to hold, given the tables read before it.
  using CubePointChoice =
      std::function<GridSelection(const LUTReadData& tablesBefore, std::size_t width)>;

  LUTReader() = default;
  virtual ~LUTReader();
  LUTReader(const LUTReader&) = delete;
  LUTReader& operator=(const LUTReader&) = delete;

  // Reads the file whose bytes `in` gives (8-bit text), from where the stream stands. On success
  // stores the tables in `*out`; on any other status `*out` is left as it was. A null `out`
  // gives BadArguments.
  virtual ReadStatus Read(std::istream& in, std::unique_ptr<LUTReadData>* out) = 0;

  // From now on a cube holds only the points `choice` selects, asked once its size is known and
  // the tables before it are read; every line is still read and checked. Without a choice a
  // cube holds every point.
  void ChooseCubePoints(CubePointChoice choice) { cubePointChoice_ = std::move(choice); }

  // The first three reals of `line` as "%lf%lf%lf" reads them: white space before each, anything
  // after the third ignored. Raises std::ios_base::failure with an empty message when fewer
  // than three are found; r, g and b are then left as they were.
  virtual void ParseDataLine(std::string_view line, double& r, double& g, double& b);

  // True when "%lf%lf%lf" finds three numbers in `line`.
  virtual bool IsDataLine(std::string_view line);

  // Why the last Read failed, in words, where the status alone does not say it (a read error of
  // the stream, a line too long, a table too large); empty otherwise.
  const std::string& FailureCause() const { return failureCause_; }

 protected:
  // Reads the content of the file into the tables; returns ParseError for a format violation
  // found by a direct test, Success otherwise. May raise the read failure.
  using ParseContent = std::function<ReadStatus(LUTLineSource& lines, LUTReadData& tables)>;

  // The frame both formats share: checks the arguments, parses the stream, turns a raised read
  // failure or an allocation failure into its status, and stores the tables only when the whole
  // file has been read. Whatever was allocated on the way is released.
  ReadStatus ReadFile(std::istream& in, std::unique_ptr<LUTReadData>* out,
                      const ParseContent& parse);

  // A 1D table of `size` entries: `first` is entry 0, the next size - 1 lines, as they are,
  // follow. The size is judged once the first line is in hand: a table that would exceed
  // LUTData::kMaxSampleBytes raises std::bad_alloc before anything is allocated. The same
  // holds for ReadCubeTable.
  LUTData ReadCurveTable(LUTLineSource& lines, std::string_view first, std::int64_t size,
                         double rangeMin, double rangeMax);

  // A 3D table of `width` points per axis: `first` is grid point (0, 0, 0), the next
  // width^3 - 1 lines follow with red changing fastest and blue slowest; each is stored at
  // r*width^2 + g*width + b (red slowest), or only the points the cube point choice selects,
  // given `tablesBefore`.
  LUTData ReadCubeTable(LUTLineSource& lines, std::string_view first, std::int64_t width,
                        double rangeMin, double rangeMax, const LUTReadData& tablesBefore);

 private:
  std::string failureCause_;
  CubePointChoice cubePointChoice_;

  void ParseCurveLines(LUTLineSource& lines, std::string_view first, std::span<RgbTriple> samples);
  void ParseCubeLines(LUTLineSource& lines, std::string_view first, std::size_t width,
                      const GridSelection& held, RgbTriple* samples);
};

}  // namespace velluma
