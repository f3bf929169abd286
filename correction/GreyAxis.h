#pragma once

#include <array>

#include "colour/Target.h"
#include "correction/PanelModel.h"
#include "lut/MonitorLut.h"

namespace velluma::correction {

// The monitor shows a grey signal through the LUT's diagonal alone (tetrahedral interpolation
// of r = g = b lies on the edge from one diagonal node to the next), so between two nodes a grey
// gets the straight line between their drives, while the panel's curve and the target's bend.
// Near black, where the panel's toe bends most, that line misses the target by more than a
// CIEDE2000 of 1. This fit chooses the 16 diagonal nodes' drives so that the interpolated drives
// follow the target at each of the 256 grey levels (least squares in CIELAB, lightness counted
// twice, drives held to 0..1), starting from the drives solved at the nodes. The black node
// stays where it starts.
class GreyAxis {
 public:
  using Nodes = std::array<Drives, kMonitorGridPoints>;

  GreyAxis(const PanelModel& panel, const colour::TargetColours& colours, const colour::Xyz& white);

  Nodes Fit(const Nodes& start) const;

 private:
  void AddResiduals(const Nodes& nodes, std::vector<double>& residuals) const;

  const PanelModel& panel_;
  std::array<colour::Lab, 256> goals_;
  colour::Xyz white_;
};

}  // namespace velluma::correction
