#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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
// monitor, the window or the settings.
//
// Inside Read, a line asked for past the end of the file, a keyword whose numbers are missing
// or out of bounds and a data line without three numbers all raise std::ios_base::failure, the
// error a stream with exceptions enabled raises; Read turns it into its status (normally 3) and
// never lets it out. Running out of memory, or a table too large to allocate, ends as 4.
class LUTReader {
 public:
  LUTReader() = default;
  virtual ~LUTReader();
  LUTReader(const LUTReader&) = delete;
  LUTReader& operator=(const LUTReader&) = delete;

  // Reads the file named by `path` (8-bit text). On success stores the tables in `*out`; on any
  // other status `*out` is left as it was. An empty path or a null `out` gives BadArguments.
  virtual ReadStatus Read(std::string_view path, std::unique_ptr<LUTReadData>* out) = 0;

  // The first three reals of `line` as "%lf%lf%lf" reads them: white space before each, anything
  // after the third ignored. Raises std::ios_base::failure with an empty message when fewer
  // than three are found; r, g and b are then left as they were.
  virtual void ParseDataLine(std::string_view line, double& r, double& g, double& b);

  // True when "%lf%lf%lf" finds three numbers in `line`.
  virtual bool IsDataLine(std::string_view line);

  // Why the last Read failed, in words, where the status alone does not say it (the system's
  // reason a file could not be opened, a line too long, a table too large); empty otherwise.
  const std::string& FailureCause() const { return failureCause_; }

 protected:
  // Reads the content of the opened file into the tables; returns ParseError for a format
  // violation found by a direct test, Success otherwise. May raise the read failure.
  using ParseContent = std::function<ReadStatus(LUTLineSource& lines, LUTReadData& tables)>;

  // The frame both formats share: checks the arguments, opens the file, parses it, turns a
  // raised read failure or an allocation failure into its status, and stores the tables only
  // when the whole file has been read. Whatever was allocated on the way is released.
  ReadStatus ReadFile(std::string_view path, std::unique_ptr<LUTReadData>* out,
                      const ParseContent& parse);

  // A 1D table of `size` entries: `first` is entry 0, the next size - 1 lines, as they are,
  // follow. The size is judged once the first line is in hand: a table that would exceed
  // LUTData::kMaxSampleBytes raises std::bad_alloc before anything is allocated. The same
  // holds for ReadCubeTable.
  LUTData ReadCurveTable(LUTLineSource& lines, const std::string& first, std::int64_t size,
                         double rangeMin, double rangeMax);

  // A 3D table of `width` points per axis: `first` is grid point (0, 0, 0), the next
  // width^3 - 1 lines follow with red changing fastest and blue slowest; each is stored at
  // r*width^2 + g*width + b (red slowest).
  LUTData ReadCubeTable(LUTLineSource& lines, const std::string& first, std::int64_t width,
                        double rangeMin, double rangeMax);

 private:
  std::string failureCause_;

  void ParseDataLines(LUTLineSource& lines, const std::string& first, std::span<RgbTriple> samples,
                      std::size_t cubeWidth);
};

}  // namespace velluma
