#pragma once

#include <string>
#include <vector>

#include "bench/instruments/DisplayParameters.h"
#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

// The monitor's state as "key value..." lines, one key a line, for the control socket:
//   model TEXT | speed N | pattern R G B | zbl N | remote 0|1 | memory USER1..USER3|none |
//   primaries v1..v9 |
//   grey0..grey2 256 values | filmgamma.USER1..USER3 1024 entries |
//   lut.USER1.0 .. lut.USER3.2 4096 entries | frames N | refused N | foreign N | overlong N
// Decimals print with four places; whatever was never received prints as "none".
std::vector<std::string> StateReport(const MonitorState& state);

// The display's parameters, in the same form:
//   display.primaries rx ry gx gy bx by | display.white N | display.white-point x y |
//   display.gamma r g b | display.toe r g b | display.shoulder r g b | display.black N |
//   display.black-point x y | display.interaction N | display.tint dx dy |
//   display.tint-dark dx dy | display.noise-luminance N | display.noise-chromaticity N
std::vector<std::string> DisplayReport(const DisplayParameters& display);

}  // namespace velluma::bench
