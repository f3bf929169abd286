#pragma once

#include <array>
#include <optional>
#include <random>

#include "bench/instruments/DisplayParameters.h"
#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

// What a colour instrument reads off the screen: chromaticity x, y and luminance Y (cd/m²).
struct Measurement {
  double x = 0;
  double y = 0;
  double Y = 0;
};

// The light the virtual monitor's screen gives for a patch. Each channel's tristimulus value at
// full drive is solved from the primaries so that full white is D65; a drive v contributes
// that value times (v/255)^gamma, shaped by the toe and the shoulder, the black level adds a
// D65-neutral floor, and everything scales linearly with the backlight (ZBL; 200 before the program
// has set one). Grey patches then take the tint of their level on their chromaticity, and a
// measurement adds the noise.
class DisplayModel {
 public:
  static constexpr int kReferenceZbl = 200;

  // Throws std::invalid_argument when the parameters cannot make a display.
  explicit DisplayModel(const DisplayParameters& parameters);

  // The exact light of `patch` at backlight `zbl`.
  Measurement Emission(const Patch& patch, std::optional<int> zbl) const;
  // The light as an instrument reads it: Emission with the noise added.
  Measurement Measure(const Patch& patch, std::optional<int> zbl);

  const DisplayParameters& Parameters() const { return parameters_; }

 private:
  struct Tristimulus {
    double X = 0;
    double Y = 0;
    double Z = 0;
  };

  static Tristimulus UnitLuminance(Chromaticity c);
  void SolveChannels();
  double Drive(int value) const;

  DisplayParameters parameters_;
  std::array<Tristimulus, 3> channels_;  // full drive at ZBL 200, black excluded
  Tristimulus black_;
  std::mt19937 random_;
};

}  // namespace velluma::bench
