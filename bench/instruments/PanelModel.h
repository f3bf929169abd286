#pragma once

#include <array>

#include "bench/instruments/DisplayParameters.h"
#include "bench/instruments/PicturePath.h"
#include "bench/instruments/Tristimulus.h"

namespace velluma::bench {

// The panel behind the monitor's picture path: the light its three channels give for a drive, at
// the reference backlight. Each channel gives its full light (solved from the primaries so that
// full white has the white point's chromaticity at the white luminance) times its own curve of
// its own drive, scaled by the interaction with the other two channels' drives; the black light
// (at its own chromaticity) lies under everything.
//
// A grey tint is part of the channels, not a colour added on top: each channel's curve is
// reshaped by a gain that depends on its own drive only, solved so that a grey (the same drive
// on all three) shows the luminance it would show untinted at that grey's chromaticity moved by
// the tint of its drive. Colours then pass through the same reshaped curves, as on a real panel,
// and a LUT can correct them. Black has no channel light to reshape: its tint moves the black
// light's chromaticity.
class PanelModel {
 public:
  // Throws std::invalid_argument when the parameters cannot make a panel.
  explicit PanelModel(const DisplayParameters& parameters);

  // The light at the reference backlight; drives are clamped to 0..1.
  Tristimulus Light(const PanelDrive& drive) const;

 private:
  using Matrix = std::array<std::array<double, 3>, 3>;

  void SolveChannels();
  double Interaction(double otherDrive) const;
  double Response(int channel, double drive) const;
  double TintedResponse(int channel, double drive) const;
  Tristimulus UntintedGrey(double drive) const;

  DisplayParameters parameters_;
  std::array<Tristimulus, 3> channels_;  // each channel's full light, the interaction undone
  Matrix toChannels_;                    // light to each channel's share of its full light
  Tristimulus untintedBlack_;            // black at its own chromaticity
  Tristimulus black_;                    // black as the panel shows it: tinted by the dark tint
};

}  // namespace velluma::bench
