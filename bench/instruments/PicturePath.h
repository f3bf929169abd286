#pragma once

#include <array>

#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

// What drives the panel's three channels (red, green, blue), each 0..1, continuous.
using PanelDrive = std::array<double, 3>;

// The monitor's picture path, from the 8-bit signal of the patch it shows to the panel's drive.
// With a user memory selected on the monitor, the signal (v/255 per channel) goes through that
// memory's LUT, interpolated tetrahedrally between its 16 × 16 × 16 nodes into 10-bit codes, then
// through the memory's film-gamma table, interpolated linearly between its 1024 entries; the
// code c it gives drives the panel at c/1023. With no memory selected the signal drives the
// panel directly (v/255). A table the memory never received passes its input unchanged, as the
// monitor's factory tables do; entries beyond 1023 count as 1023.
PanelDrive PanelDriveFor(const MonitorState& monitor, const Patch& patch);

}  // namespace velluma::bench
