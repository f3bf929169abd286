#pragma once

#include <array>
#include <optional>
#include <vector>

#include "colour/Colour.h"
#include "colour/Verification.h"
#include "correction/ToneResponse.h"

namespace velluma::correction {

// A panel's drives, each 0..1: red, green, blue.
using Drives = std::array<double, 3>;

// What a panel shows for a drive, as measured: its black, the light of each channel at full
// drive (black excluded), each channel's tone response, and how the channels interact — a
// channel's light is scaled by 1 + Σ k·(the drive of each other channel), as a panel whose
// channels share a supply or leak into each other behaves. The channels' responses come from
// the single-channel ramps alone; the interaction is fitted to the patches that mix channels.
// Last, what the model still misses on the measured greys is added back along the grey axis
// (fully where the drives are equal, fading to nothing where a channel is off), so the greys the
// correction cares most about rest on their own readings.
class PanelModel {
 public:
  // std::invalid_argument saying what is missing or wrong in `readings`.
  static PanelModel Fit(const std::vector<colour::PatchReading>& readings);

  colour::Xyz Light(const Drives& drives) const;
  const colour::Xyz& Black() const { return black_; }
  const colour::Xyz& Primary(int channel) const { return primaries_[channel]; }

 private:
  PanelModel() = default;
  void FitResponses(const std::vector<colour::PatchReading>& readings);
  void FitInteraction(const std::vector<colour::PatchReading>& readings);
  void FitGreyResidual(const std::vector<colour::PatchReading>& readings);
  colour::Xyz ModelledLight(const Drives& drives) const;
  colour::Xyz GreyResidual(const Drives& drives, const colour::Xyz& modelled) const;
  colour::Xyz AdditiveLight(const Drives& drives, std::array<double, 3>& channelShares) const;

  colour::Xyz black_;
  std::array<colour::Xyz, 3> primaries_;
  std::array<std::optional<ToneResponse>, 3> responses_;
  double interaction_[3][3] = {};  // [channel][other channel]; the diagonal stays 0
  std::array<std::array<double, 3>, 3> greyResidual_{};  // per X, Y, Z: a + b·d + c·d²
};

}  // namespace velluma::correction
