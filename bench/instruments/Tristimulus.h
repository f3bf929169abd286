#pragma once

#include "bench/instruments/DisplayParameters.h"

namespace velluma::bench {

// CIE 1931 tristimulus values of light; Y is its luminance (cd/m²).
struct Tristimulus {
  double X = 0;
  double Y = 0;
  double Z = 0;

  Tristimulus operator+(const Tristimulus& o) const { return {X + o.X, Y + o.Y, Z + o.Z}; }
  Tristimulus operator-(const Tristimulus& o) const { return {X - o.X, Y - o.Y, Z - o.Z}; }
  Tristimulus operator*(double k) const { return {X * k, Y * k, Z * k}; }

  // Light of chromaticity `c` at luminance `luminance`.
  static Tristimulus Of(Chromaticity c, double luminance) {
    return {c.x / c.y * luminance, luminance, (1.0 - c.x - c.y) / c.y * luminance};
  }
  // x, y of this light; 0, 0 for no light.
  Chromaticity Xy() const {
    const double total = X + Y + Z;
    if (!(total > 0)) return {0, 0};
    return {X / total, Y / total};
  }
};

}  // namespace velluma::bench
