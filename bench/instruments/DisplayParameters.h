#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velluma::bench {

// A point of the CIE 1931 chromaticity diagram.
struct Chromaticity {
  double x = 0;
  double y = 0;
};

// What the virtual display is made of. The defaults describe a panel that passes the
// calibration checks: sRGB primaries, 260 cd/m² white at ZBL 200, gamma 2.2, a neutral black
// of 0.20 cd/m², no grey tint and no noise.
struct DisplayParameters {
  Chromaticity red{0.640, 0.330};
  Chromaticity green{0.300, 0.600};
  Chromaticity blue{0.150, 0.060};
  double white = 260.0;          // luminance of full white at ZBL 200, black included (cd/m²)
  double gamma = 2.2;            // drive (v/255) to light
  double black = 0.20;           // luminance of drive 0 at ZBL 200 (cd/m²), D65-neutral
  double tintX = 0.0;            // added to x of every grey patch (r = g = b)
  double tintY = 0.0;            // added to y of every grey patch
  double noise = 0.0;            // standard deviation added to x and y, and relative to Y
  std::optional<uint32_t> seed;  // makes the noise repeatable; random when absent

  // Sets one parameter by its key: primaries (six numbers: red x y, green x y, blue x y),
  // white, gamma, black, tint-x, tint-y, noise, seed. Throws std::invalid_argument for an
  // unknown key or a value that is not a fitting number.
  void Set(std::string_view key, std::string_view value);
  // Applies a file of "key = value" lines; blank lines and lines starting with '#' are
  // skipped. Throws std::invalid_argument naming the file and line.
  void LoadFile(const std::string& path);
  // Throws std::invalid_argument when the parameters cannot make a display (white below
  // black, a primary with y 0, D65 outside the primaries' triangle...).
  void Check() const;
};

}  // namespace velluma::bench
