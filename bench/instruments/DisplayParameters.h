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
// of 0.20 cd/m², a pure power curve, no grey tint and no noise.
struct DisplayParameters {
  Chromaticity red{0.640, 0.330};
  Chromaticity green{0.300, 0.600};
  Chromaticity blue{0.150, 0.060};
  double white = 260.0;             // luminance of full white at ZBL 200, black included (cd/m²)
  double gamma = 2.2;               // drive (v/255) to light
  double toe = 0.0;                 // darkens the shadows: light × (s / (s + toe)) × (1 + toe)
  double shoulder = 0.0;            // rolls off near white: (1 + shoulder) L / (1 + shoulder L)
  double black = 0.20;              // luminance of drive 0 at ZBL 200 (cd/m²), D65-neutral
  double tintX = 0.0;               // added to x of the white grey patch (r = g = b = 255)
  double tintY = 0.0;               // added to y of the white grey patch
  std::optional<double> tintDarkX;  // added to x of grey 0; absent: tintX all along the ramp
  std::optional<double> tintDarkY;  // added to y of grey 0; absent: tintY all along the ramp
  double noise = 0.0;               // standard deviation added to x and y, and relative to Y
  std::optional<uint32_t> seed;     // makes the noise repeatable; random when absent

  // Sets one parameter by its key: primaries (six numbers: red x y, green x y, blue x y),
  // white, gamma, toe, shoulder, black, tint-x, tint-y, tint-dark-x, tint-dark-y, noise, seed.
  // Throws std::invalid_argument for an unknown key or a value that is not a fitting number.
  void Set(std::string_view key, std::string_view value);
  // Applies a file of "key = value" lines; blank lines and lines starting with '#' are
  // skipped. Throws std::invalid_argument naming the file and line.
  void LoadFile(const std::string& path);
  // Throws std::invalid_argument when the parameters cannot make a display (white below
  // black, a primary with y 0, D65 outside the primaries' triangle...).
  void Check() const;

  // The tint of the grey of drive `level` (0..255): tint-dark at 0, tint at 255, linear between.
  Chromaticity TintAt(int level) const;
};

}  // namespace velluma::bench
