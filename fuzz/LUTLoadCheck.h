#pragma once

// The properties every LUT load keeps, whatever the file holds: LoadLUTFile either rejects the
// file, writing its diagnosis line and leaving the table exactly as it was, or loads it, writing
// nothing. The caller checks what a loaded table holds.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "lut/LUTConversion.h"
#include "lut/LUTFileError.h"
#include "lut/LUTFileLoad.h"
#include "lut/MonitorLut.h"

namespace velluma::fuzz {

// A table that no load can produce: every code lies outside 0..4095 and differs from every
// other, so an entry a load wrote, or wrote in the wrong place, shows.
inline MonitorLutTable UnloadableTable() {
  MonitorLutTable table;
  for (int c = 0; c < kMonitorLutChannels; ++c)
    for (int e = 0; e < kMonitorLutEntries; ++e) table[c][e] = -1 - (e * kMonitorLutChannels + c);
  return table;
}

// Loads the input into `table` (which starts as UnloadableTable()) and checks the rejection
// rules; true when the file was loaded.
inline bool LoadChecked(const std::uint8_t* data, std::size_t size, std::string_view lutFileType,
                        bool directTableMode, MonitorLutTable& table) {
  std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
  const MonitorLutTable before = table;
  std::ostringstream diagnosis;
  LUTLoadResult result;
  try {
    result =
        LoadLUTFile({"fuzz input", &bytes, ""}, lutFileType, directTableMode, table, diagnosis);
  } catch (const LUTFileError&) {
    Fail("a file that opens and reads raised LUTFileError");
  }
  if (result.code == 0) {
    Check(result.message.empty(), "a loaded file has no diagnosis line");
    Check(diagnosis.str().empty(), "a loaded file writes nothing");
    return true;
  }
  Check(result.code == 1, "a load returns 0 or 1");
  Check(table == before, "a rejected file leaves the table exactly as it was");
  Check(!result.message.empty(), "a rejected file has its diagnosis line");
  Check(diagnosis.str() == result.message + "\n", "the diagnosis written is the line returned");
  return false;
}

// The codes of a loaded file read whole, every point of its cube held, and converted step by
// step: what the load, which holds only the points of the cube it converts, must give.
inline void WholeTableCodes(const std::uint8_t* data, std::size_t size,
                            std::string_view lutFileType, MonitorLutTable& table) {
  std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<LUTReadData> tables;
  Check(MakeLUTReader(lutFileType)->Read(bytes, &tables) == ReadStatus::Success,
        "a loaded file reads whole");
  InputCurve curve = IdentityInputCurve();
  if (tables->lut1D) Check(Convert1D(*tables->lut1D, curve), "its 1D table converts");
  static GridSamples samples;
  if (tables->lut3D) {
    Check(Convert3D(curve, *tables->lut3D, samples), "its whole cube converts");
  } else {
    CurveGridSamples(curve, samples);
  }
  StoreMonitorCodes(samples, table);
}

// A converted LUT replaces every entry with a 10-bit code, those of the whole file.
inline void CheckConvertedLoad(const std::uint8_t* data, std::size_t size,
                               std::string_view lutFileType) {
  static MonitorLutTable table, whole;
  table = UnloadableTable();
  if (!LoadChecked(data, size, lutFileType, false, table)) return;
  for (const MonitorLutChannel& channel : table)
    for (std::int32_t code : channel)
      Check(code >= 0 && code <= kMonitorCodeMax, "every code of a converted LUT is in 0..1023");
  WholeTableCodes(data, size, lutFileType, whole);
  Check(table == whole, "a cube held in part converts as the whole cube does");
}

}  // namespace velluma::fuzz
