// calibration_file::Read on any bytes. An invalid file clears the data; a file that cannot be
// opened leaves it as it was (the input is a regular file, so it always opens); a loaded file
// survives a save: written back with calibration_file::Write it loads again, and saving that
// gives the same bytes (the values are rounded once, on the first save).
#include "datafiles/CalibrationFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

using velluma::CalibrationData;
using velluma::fuzz::Check;
namespace calibration_file = velluma::calibration_file;

bool SameData(const CalibrationData& a, const CalibrationData& b) {
  return a.primaries == b.primaries && a.greyLevels == b.greyLevels;
}

// Data that no file in the tests' hands holds, so a read that changes nothing shows.
CalibrationData Marked() {
  CalibrationData data;
  for (auto& value : data.primaries) value = {0.25, 0.5, 7.25};
  for (auto& value : data.greyLevels) value = {0.125, 0.375, 3.5};
  return data;
}

std::string Saved(const std::string& name, const CalibrationData& data) {
  const std::string path = velluma::fuzz::PrivateFolder() + "/" + name;
  Check(calibration_file::Write(path, data, {"CA-310", 0.005, -0.003}), "loaded data can be saved");
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const CalibrationData kMarked = Marked();
  CalibrationData data = kMarked;
  const auto result = calibration_file::Read(velluma::fuzz::InputFile(bytes, size), data);
  if (result == calibration_file::ReadResult::CannotOpen) {
    Check(SameData(data, kMarked), "a file that cannot be opened leaves the data as it was");
    velluma::fuzz::Fail("a regular file always opens");
  }
  if (result == calibration_file::ReadResult::Invalid) {
    Check(SameData(data, CalibrationData{}), "an invalid file leaves the data all zero");
    return 0;
  }
  Check(result == calibration_file::ReadResult::Loaded, "Read returns one of its three results");

  const std::string first = Saved("first.txt", data);
  CalibrationData again = kMarked;
  Check(calibration_file::Read(first, again) == calibration_file::ReadResult::Loaded,
        "a saved file loads");
  const std::string second = Saved("second.txt", again);
  Check(velluma::fuzz::ReadWholeFile(first) == velluma::fuzz::ReadWholeFile(second),
        "saving what a saved file loads gives the same file");
  return 0;
}
