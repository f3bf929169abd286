#pragma once

#include <array>
#include <cstdint>

#include "lut/RgbTriple.h"

namespace velluma {

// The monitor's own LUT: 16 points per axis, 3 output channels of 10-bit codes.
inline constexpr int kMonitorGridPoints = 16;
inline constexpr int kMonitorLutEntries =
    kMonitorGridPoints * kMonitorGridPoints * kMonitorGridPoints;
inline constexpr int kMonitorLutChannels = kRgbChannels;  // 0 red, 1 green, 2 blue
inline constexpr std::int32_t kMonitorCodeMax = 1023;

// One user memory's LUT as the monitor takes it: per channel, 4096 entries in the order red
// fastest (see MonitorEntryRedFastest).
using MonitorLutChannel = std::array<std::int32_t, kMonitorLutEntries>;
using MonitorLutTable = std::array<MonitorLutChannel, kMonitorLutChannels>;

// Working data of one conversion. InputCurve: entry k is the 1D table's output for the input
// MonitorGridInput(k). GridSamples: the transform's output at each monitor grid point, in the
// order red slowest (see GridSampleIndexRedSlowest), the reverse of MonitorLutTable.
using InputCurve = std::array<RgbTriple, kMonitorGridPoints>;
using GridSamples = std::array<RgbTriple, kMonitorLutEntries>;

// The input that monitor grid index k (0..15) stands for: the reciprocal 1/15 times k.
inline double MonitorGridInput(int k) {
  return k * (1.0 / (kMonitorGridPoints - 1));
}

// Entry of grid point (r, g, b) in a MonitorLutTable channel: red changes fastest.
inline int MonitorEntryRedFastest(int r, int g, int b) {
  return r + kMonitorGridPoints * (g + kMonitorGridPoints * b);
}

// Entry of grid point (r, g, b) in GridSamples: red changes slowest.
inline int GridSampleIndexRedSlowest(int r, int g, int b) {
  return (r * kMonitorGridPoints + g) * kMonitorGridPoints + b;
}

}  // namespace velluma
