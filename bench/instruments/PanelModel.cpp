#include "bench/instruments/PanelModel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velluma::bench {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// The matrix whose columns are the three lights.
Matrix Columns(const std::array<Tristimulus, 3>& lights) {
  Matrix m{};
  for (int column = 0; column < 3; ++column) {
    m[0][column] = lights[column].X;
    m[1][column] = lights[column].Y;
    m[2][column] = lights[column].Z;
  }
  return m;
}

// The inverse by the adjugate; throws when the columns lie in one plane.
Matrix Inverse(const Matrix& m) {
  Matrix cofactors{};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
      const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
      cofactors[row][column] = m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
    }
  }
  const double determinant =
      m[0][0] * cofactors[0][0] + m[0][1] * cofactors[0][1] + m[0][2] * cofactors[0][2];
  if (std::abs(determinant) < 1e-12) throw std::invalid_argument("the primaries lie on one line");
  Matrix inverse{};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      inverse[row][column] = cofactors[column][row] / determinant;
    }
  }
  return inverse;
}

double RowTimes(const Matrix& m, int row, const Tristimulus& t) {
  return m[row][0] * t.X + m[row][1] * t.Y + m[row][2] * t.Z;
}

double Clamped(double drive) {
  return std::clamp(drive, 0.0, 1.0);
}

}  // namespace

PanelModel::PanelModel(const DisplayParameters& parameters) : parameters_(parameters) {
  parameters_.Check();
  SolveChannels();
  const Chromaticity blackPoint = parameters_.blackPoint;
  const Chromaticity darkTint = parameters_.TintAt(0);
  untintedBlack_ = Tristimulus::Of(blackPoint, parameters_.black);
  black_ =
      Tristimulus::Of({blackPoint.x + darkTint.x, blackPoint.y + darkTint.y}, parameters_.black);
}

// Each channel's luminance is its share of the light full white adds to black: the primaries'
// unit lights, weighted by those shares, sum to it. At full white every channel is dimmed by
// the interaction, so the channels are solved that much brighter.
void PanelModel::SolveChannels() {
  const DisplayParameters& p = parameters_;
  const std::array<Tristimulus, 3> units = {
      Tristimulus::Of(p.red, 1.0), Tristimulus::Of(p.green, 1.0), Tristimulus::Of(p.blue, 1.0)};
  const Tristimulus above =
      (Tristimulus::Of(p.whitePoint, p.white) - Tristimulus::Of(p.blackPoint, p.black)) *
      (1.0 / Interaction(1.0));
  const Matrix toLuminances = Inverse(Columns(units));
  for (int channel = 0; channel < 3; ++channel) {
    const double luminance = RowTimes(toLuminances, channel, above);
    if (!(luminance > 0)) {
      throw std::invalid_argument("the white lies outside the primaries' triangle");
    }
    channels_[channel] = units[channel] * luminance;
  }
  toChannels_ = Inverse(Columns(channels_));
}

// The factor by which a channel's light is dimmed when the other two are driven at
// `otherDrive` on average.
double PanelModel::Interaction(double otherDrive) const {
  return 1.0 - parameters_.interaction * otherDrive;
}

Tristimulus PanelModel::Light(const PanelDrive& drive) const {
  Tristimulus light = black_;
  for (int channel = 0; channel < 3; ++channel) {
    const double others =
        (Clamped(drive[(channel + 1) % 3]) + Clamped(drive[(channel + 2) % 3])) / 2;
    const double response = Response(channel, Clamped(drive[channel]));
    light = light + channels_[channel] * (response * Interaction(others));
  }
  return light;
}

// The share of its full light a channel gives at `drive`, before the interaction.
double PanelModel::Response(int channel, double drive) const {
  if (!parameters_.Tinted()) return parameters_.curves[channel].Light(drive);
  return TintedResponse(channel, drive);
}

// The untinted grey of `drive`, moved to its tinted chromaticity at the same luminance, less the
// (tinted) black, split into the three channels' shares; the interaction at that grey is undone
// so that the grey itself comes out exact. Near black the solution can dip below zero for a tint
// that changes along the ramp; a channel gives no negative light.
double PanelModel::TintedResponse(int channel, double drive) const {
  const Tristimulus grey = UntintedGrey(drive);
  if (!(drive > 0) || !(grey.Y > 0)) return 0.0;
  const Chromaticity untinted = grey.Xy();
  const Chromaticity tint = parameters_.TintAt(drive);
  const Tristimulus tinted = Tristimulus::Of({untinted.x + tint.x, untinted.y + tint.y}, grey.Y);
  const double share = RowTimes(toChannels_, channel, tinted - black_) / Interaction(drive);
  return std::max(0.0, share);
}

Tristimulus PanelModel::UntintedGrey(double drive) const {
  Tristimulus light = untintedBlack_;
  for (int channel = 0; channel < 3; ++channel) {
    light = light +
            channels_[channel] * (parameters_.curves[channel].Light(drive) * Interaction(drive));
  }
  return light;
}

}  // namespace velluma::bench
