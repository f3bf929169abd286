#pragma once

#include <array>
#include <vector>

namespace velluma::correction {

// One channel's light as a function of its drive (both 0..1, full drive giving 1), fitted to
// measured points: in logarithms of drive and light a panel's curve is close to a straight line
// (a power law), bent a little by its toe and shoulder, so the fit is a quartic there through
// (full drive, 1), in least squares. A fit, not an interpolation: each point carries the
// instrument's noise, and a curve through every point would carry it into every colour near it.
// Below the lowest measured drive the curve goes on as the power law of its slope there. A
// fit that would turn back is replaced by one of lower degree, down to a straight line.
class ToneResponse {
 public:
  struct Point {
    double drive = 0;
    double light = 0;
  };

  // `points` in any order; those with drive or light not above 0 are left out (drive 0 gives 0
  // by definition). std::invalid_argument when fewer than three drives remain.
  explicit ToneResponse(const std::vector<Point>& points);

  double LightAt(double drive) const;

 private:
  bool Fit(const std::vector<Point>& points, int degree);
  double LogLight(double logDrive) const;
  double Slope(double logDrive) const;

  std::array<double, 5> coefficients_{};  // log light = Σ cₖ·(log drive)^k, c₀ = 0
  double lowest_ = 0;                     // log of the lowest measured drive
};

}  // namespace velluma::correction
