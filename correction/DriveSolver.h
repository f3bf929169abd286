#pragma once

#include "colour/Colour.h"
#include "correction/PanelModel.h"

namespace velluma::correction {

// Finds the drives that make the panel show a colour, or the colour it can show closest to it:
// a damped Gauss–Newton search in CIELAB (relative to the white given), the drives held to
// 0..1. Lightness counts twice as much as a and b, so a colour out of the panel's reach keeps
// its lightness and hue and gives up chroma, toward the grey of its lightness.
class DriveSolver {
 public:
  DriveSolver(const PanelModel& panel, const colour::Xyz& white) : panel_(panel), white_(white) {}

  struct Solution {
    Drives drives{};
    double error = 0;  // the weighted CIELAB distance left
  };
  Solution Solve(const colour::Xyz& target, const Drives& start) const;
  // A first guess: the channels' full lights solved linearly for the target, each share taken
  // to the power 1/2.2.
  Drives Guess(const colour::Xyz& target) const;

 private:
  std::array<double, 3> Residual(const Drives& drives, const colour::Lab& target) const;

  const PanelModel& panel_;
  colour::Xyz white_;
};

}  // namespace velluma::correction
