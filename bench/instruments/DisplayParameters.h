#pragma once

#include <array>
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

// How one channel of the panel turns its drive s (0..1) into light (0..1 of its full light):
// s^gamma, darkened near black by the toe and rolled off near white by the shoulder, both of
// which keep 0 and 1 where they are.
struct ChannelCurve {
  double gamma = 2.2;
  double toe = 0.0;       // light × (s / (s + toe)) × (1 + toe)
  double shoulder = 0.0;  // L becomes (1 + shoulder) L / (1 + shoulder L)

  double Light(double drive) const;
};

// What the virtual display's panel is made of. The defaults describe a panel that passes the
// calibration checks: sRGB primaries, a D65 white of 260 cd/m² at ZBL 200, gamma 2.2 on every
// channel, a D65 black of 0.20 cd/m², pure power curves, channels that add exactly, no grey
// tint and no noise.
struct DisplayParameters {
  static constexpr int kChannels = 3;  // red, green, blue

  Chromaticity red{0.640, 0.330};
  Chromaticity green{0.300, 0.600};
  Chromaticity blue{0.150, 0.060};
  double white = 260.0;  // luminance of full white at ZBL 200, black included (cd/m²)
  Chromaticity whitePoint{0.3127, 0.3290};  // full white's chromaticity (before a tint)
  std::array<ChannelCurve, kChannels> curves;
  double black = 0.20;                      // luminance of drive 0 at ZBL 200 (cd/m²)
  Chromaticity blackPoint{0.3127, 0.3290};  // black's chromaticity (before a tint)
  // Each channel's light is scaled by 1 - interaction × (mean drive of the other two), as when
  // the channels share a supply; the channels are set so that full white keeps its luminance.
  double interaction = 0.0;
  double tintX = 0.0;                       // moves x of full white (r = g = b = 255)
  double tintY = 0.0;                       // moves y of full white
  std::optional<double> tintDarkX;          // moves x of black; absent: tintX all along the ramp
  std::optional<double> tintDarkY;          // moves y of black; absent: tintY all along the ramp
  double noise = 0.0;                       // both noises below, where they are not given
  std::optional<double> luminanceNoise;     // standard deviation of Y, relative
  std::optional<double> chromaticityNoise;  // standard deviation of x and of y
  std::optional<uint32_t> seed;             // makes the noise repeatable; random when absent

  // Sets one parameter by its key: primaries (six numbers: red x y, green x y, blue x y), white,
  // white-x, white-y, gamma, toe, shoulder (all three channels; gamma-red, toe-green,
  // shoulder-blue... one), black, black-x, black-y, interaction, tint-x, tint-y, tint-dark-x,
  // tint-dark-y, noise, noise-luminance, noise-chromaticity, seed. Throws std::invalid_argument
  // for an unknown key or a value that is not a fitting number.
  void Set(std::string_view key, std::string_view value);
  static bool Knows(std::string_view key);
  // Applies a file of "key = value" lines; blank lines and lines starting with '#' are
  // skipped. Throws std::invalid_argument naming the file and line.
  void LoadFile(const std::string& path);
  // Throws std::invalid_argument when the parameters cannot make a display (white below
  // black, a primary with y 0, the white outside the primaries' triangle...).
  void Check() const;

  // The tint of the grey of drive `drive` (0..1): tint-dark at 0, tint at 1, linear between.
  Chromaticity TintAt(double drive) const;
  bool Tinted() const;
  double LuminanceNoise() const { return luminanceNoise.value_or(noise); }
  double ChromaticityNoise() const { return chromaticityNoise.value_or(noise); }

 private:
  double* Field(std::string_view key);
  std::optional<double>* OptionalField(std::string_view key);
  bool SetCurve(std::string_view key, double value);
};

}  // namespace velluma::bench
