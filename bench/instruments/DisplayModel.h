#pragma once

#include <optional>
#include <random>

#include "bench/instruments/DisplayParameters.h"
#include "bench/instruments/PanelModel.h"
#include "bench/instruments/PicturePath.h"
#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

// What a colour instrument reads off the screen: chromaticity x, y and luminance Y (cd/m²).
struct Measurement {
  double x = 0;
  double y = 0;
  double Y = 0;
};

// The light the virtual monitor's screen gives: the patch it shows goes through its picture
// path (the selected user memory's LUT and film gamma, see PicturePath.h) to the panel (see
// PanelModel.h), and all of the panel's light, black included, scales linearly with the
// backlight (ZBL; 200 before the program has set one). A measurement adds the noise: relative
// to Y, and added to x and to y.
class DisplayModel {
 public:
  static constexpr int kReferenceZbl = 200;

  // Throws std::invalid_argument when the parameters cannot make a display.
  explicit DisplayModel(const DisplayParameters& parameters);

  // The exact light of the patch `monitor` shows (black before its first patch), through the
  // selected memory's tables, at its ZBL.
  Measurement Emission(const MonitorState& monitor) const;
  // The light as an instrument reads it: Emission with the noise added.
  Measurement Measure(const MonitorState& monitor);
  // The exact light of the panel driven at `drive` (0..1 per channel), past the picture path.
  Measurement PanelEmission(const PanelDrive& drive, std::optional<int> zbl) const;

  const DisplayParameters& Parameters() const { return parameters_; }

 private:
  Measurement WithNoise(Measurement light);

  DisplayParameters parameters_;
  PanelModel panel_;
  std::mt19937 random_;
};

}  // namespace velluma::bench
