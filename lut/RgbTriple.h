#pragma once

namespace velluma {

// One table sample: the red, green and blue outputs, in this order. The members have no
// initialisers on purpose: a sample array can then be allocated without being written, so a
// table claimed by a file costs only the memory its lines actually fill.
struct RgbTriple {
  double r;
  double g;
  double b;
};

inline constexpr int kRgbChannels = 3;

// Channel c of a sample: 0 red, 1 green, 2 blue.
inline double& Channel(RgbTriple& sample, int c) {
  return c == 0 ? sample.r : c == 1 ? sample.g : sample.b;
}
inline double Channel(const RgbTriple& sample, int c) {
  return c == 0 ? sample.r : c == 1 ? sample.g : sample.b;
}

}  // namespace velluma
