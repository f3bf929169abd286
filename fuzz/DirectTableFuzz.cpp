// LoadLUTFile in direct table mode: the file holds the monitor's codes themselves. A rejected
// file leaves the table as it was; a loaded one sets entries 0..k-1 of all three channels, for
// some k, each to a code in 0..4095, and leaves the rest as they were.
#include "fuzz/LUTLoadCheck.h"
#include "lut/DirectTableMode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velluma;
  static const MonitorLutTable kUnloadable = fuzz::UnloadableTable();
  static MonitorLutTable table;
  table = kUnloadable;
  if (!fuzz::LoadChecked(data, size, "Baselight", true, table)) return 0;

  // Codes of the unloadable table are all out of range, so an entry in range is one the file set.
  const auto set = [](std::int32_t code) { return code >= 0 && code <= kMaxDirectTableCode; };
  bool reached = true;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const bool entrySet = set(table[0][e]);
    for (int c = 0; c < kMonitorLutChannels; ++c) {
      fuzz::Check(set(table[c][e]) == entrySet, "a line sets all three channels of its entry");
      fuzz::Check(entrySet || table[c][e] == kUnloadable[c][e],
                  "an entry the file does not set keeps its value");
    }
    fuzz::Check(reached || !entrySet, "the entries set are the first ones, without a gap");
    reached = entrySet;
  }
  return 0;
}
