#include "bench/instruments/DisplayModel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velluma::bench {
namespace {

constexpr Chromaticity kD65{0.3127, 0.3290};

double Determinant(const std::array<std::array<double, 3>, 3>& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

uint32_t SeedOf(const DisplayParameters& parameters) {
  return parameters.seed ? *parameters.seed : std::random_device{}();
}

}  // namespace

DisplayModel::DisplayModel(const DisplayParameters& parameters)
    : parameters_(parameters), random_(SeedOf(parameters)) {
  parameters_.Check();
  SolveChannels();
}

// X, Y, Z of light with chromaticity `c` and luminance 1.
DisplayModel::Tristimulus DisplayModel::UnitLuminance(Chromaticity c) {
  return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

// Finds the luminance shares s of the three channels whose sum is D65 (Cramer's rule on the
// columns of the primaries' unit tristimulus values), then scales them to the white luminance
// above the black level.
void DisplayModel::SolveChannels() {
  const std::array<Tristimulus, 3> primaries = {UnitLuminance(parameters_.red),
                                                UnitLuminance(parameters_.green),
                                                UnitLuminance(parameters_.blue)};
  const Tristimulus white = UnitLuminance(kD65);
  auto matrix = [&](int replaced) {
    std::array<std::array<double, 3>, 3> m{};
    for (int column = 0; column < 3; ++column) {
      const Tristimulus& t = column == replaced ? white : primaries[column];
      m[0][column] = t.X;
      m[1][column] = t.Y;
      m[2][column] = t.Z;
    }
    return m;
  };
  double whole = Determinant(matrix(-1));
  if (std::abs(whole) < 1e-12) throw std::invalid_argument("the primaries lie on one line");
  const double luminance = parameters_.white - parameters_.black;
  for (int channel = 0; channel < 3; ++channel) {
    double share = Determinant(matrix(channel)) / whole;
    if (share <= 0) throw std::invalid_argument("D65 lies outside the primaries' triangle");
    const Tristimulus& unit = primaries[channel];
    channels_[channel] = {unit.X * share * luminance, unit.Y * share * luminance,
                          unit.Z * share * luminance};
  }
  black_ = {white.X * parameters_.black, white.Y * parameters_.black, white.Z * parameters_.black};
}

// The power curve, then the toe (which keeps 0 and full drive where they are and takes light
// away near black) and the shoulder (which keeps them too and flattens the curve near white).
double DisplayModel::Drive(int value) const {
  const double level = std::clamp(value, 0, 255) / 255.0;
  double light = std::pow(level, parameters_.gamma);
  const double toe = parameters_.toe;
  if (toe > 0) light *= level / (level + toe) * (1.0 + toe);
  const double shoulder = parameters_.shoulder;
  if (shoulder > 0) light = (1.0 + shoulder) * light / (1.0 + shoulder * light);
  return light;
}

Measurement DisplayModel::Emission(const Patch& patch, std::optional<int> zbl) const {
  const double backlight = static_cast<double>(zbl.value_or(kReferenceZbl)) / kReferenceZbl;
  const std::array<double, 3> drives = {Drive(patch.r), Drive(patch.g), Drive(patch.b)};
  Tristimulus sum = black_;
  for (int channel = 0; channel < 3; ++channel) {
    sum.X += channels_[channel].X * drives[channel];
    sum.Y += channels_[channel].Y * drives[channel];
    sum.Z += channels_[channel].Z * drives[channel];
  }
  Measurement light{0, 0, sum.Y * backlight};
  const double total = sum.X + sum.Y + sum.Z;
  if (total > 0) light = {sum.X / total, sum.Y / total, light.Y};
  if (patch.r == patch.g && patch.g == patch.b) {
    const Chromaticity tint = parameters_.TintAt(patch.r);
    light.x += tint.x;
    light.y += tint.y;
  }
  return light;
}

Measurement DisplayModel::Measure(const Patch& patch, std::optional<int> zbl) {
  Measurement light = Emission(patch, zbl);
  if (parameters_.noise <= 0) return light;
  std::normal_distribution<double> deviation(0.0, parameters_.noise);
  light.x += deviation(random_);
  light.y += deviation(random_);
  light.Y *= 1.0 + deviation(random_);
  return light;
}

}  // namespace velluma::bench
