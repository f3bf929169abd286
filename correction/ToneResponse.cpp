#include "correction/ToneResponse.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

#include "correction/LeastSquares.h"

namespace velluma::correction {
namespace {

constexpr int kMaxDegree = 4;

}  // namespace

ToneResponse::ToneResponse(const std::vector<Point>& points) {
  std::vector<Point> usable;
  std::set<double> drives;
  for (const Point& point : points) {
    if (!(point.drive > 0 && point.drive <= 1 && point.light > 0)) continue;
    usable.push_back({std::log(point.drive), std::log(point.light)});
    drives.insert(point.drive);
  }
  if (drives.size() < 3) throw std::invalid_argument("a tone response needs three drives with light");
  lowest_ = std::log(*drives.begin());
  for (int degree = kMaxDegree; degree >= 1; --degree) {
    if (Fit(usable, degree)) return;
  }
  throw std::invalid_argument("the light does not grow with the drive");
}

// Fits the polynomial of `degree` without a constant term (log light 0 at log drive 0) and
// accepts it when it rises over the whole measured range.
bool ToneResponse::Fit(const std::vector<Point>& points, int degree) {
  LeastSquares fit(degree);
  for (const Point& point : points) {
    std::vector<double> row;
    for (int k = 1; k <= degree; ++k) row.push_back(std::pow(point.drive, k));
    fit.AddRow(row, point.light);
  }
  const std::vector<double> c = fit.Solve();
  coefficients_ = {};
  for (int k = 1; k <= degree; ++k) coefficients_[k] = c[k - 1];
  constexpr int kChecks = 64;
  for (int i = 0; i <= kChecks; ++i) {
    if (!(Slope(lowest_ * i / kChecks) > 0)) return false;
  }
  return true;
}

double ToneResponse::LogLight(double x) const {
  double value = 0;
  for (int k = kMaxDegree; k >= 1; --k) value = (value + coefficients_[k]) * x;
  return value;
}

double ToneResponse::Slope(double x) const {
  double slope = 0;
  for (int k = kMaxDegree; k >= 1; --k) slope = slope * x + k * coefficients_[k];
  return slope;
}

double ToneResponse::LightAt(double drive) const {
  if (!(drive > 0)) return 0;
  const double x = std::log(std::min(drive, 1.0));
  if (x >= lowest_) return std::exp(LogLight(x));
  return std::exp(LogLight(lowest_) + Slope(lowest_) * (x - lowest_));
}

}  // namespace velluma::correction
