#include "correction/PanelModel.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

#include "correction/LeastSquares.h"

namespace velluma::correction {
namespace {

using colour::Xyz;
using Drive = std::tuple<int, int, int>;

constexpr int kFull = 255;
// Drives whose smallest is at least this share of their largest count as grey in full.
constexpr double kGreyRatio = 0.5;

Xyz Plus(Xyz a, const Xyz& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
Xyz Minus(Xyz a, const Xyz& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
Xyz Times(const Xyz& a, double s) { return {a.X * s, a.Y * s, a.Z * s}; }
double Dot(const Xyz& a, const Xyz& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }

// The mean light of each measured drive.
std::map<Drive, Xyz> MeanLights(const std::vector<colour::PatchReading>& readings) {
  std::map<Drive, std::pair<Xyz, int>> sums;
  for (const auto& reading : readings) {
    if (!std::isfinite(reading.x) || !std::isfinite(reading.y) || !std::isfinite(reading.Y) ||
        reading.Y < 0) {
      throw std::invalid_argument("the reading of " + reading.name + " is not a light");
    }
    auto& [sum, count] = sums[{reading.r, reading.g, reading.b}];
    sum = Plus(sum, colour::XyzFromXyY(reading.x, reading.y, reading.Y));
    ++count;
  }
  std::map<Drive, Xyz> means;
  for (const auto& [drive, sum] : sums) means[drive] = Times(sum.first, 1.0 / sum.second);
  return means;
}

Drive SingleChannel(int channel, int level) {
  return {channel == 0 ? level : 0, channel == 1 ? level : 0, channel == 2 ? level : 0};
}

const Xyz& Require(const std::map<Drive, Xyz>& lights, const Drive& drive) {
  auto found = lights.find(drive);
  if (found == lights.end()) {
    auto [r, g, b] = drive;
    throw std::invalid_argument("the patch " + std::to_string(r) + "," + std::to_string(g) + "," +
                                std::to_string(b) + " was not measured");
  }
  return found->second;
}

Drives DrivesOf(const Drive& drive) {
  auto [r, g, b] = drive;
  return {r / double(kFull), g / double(kFull), b / double(kFull)};
}

}  // namespace

PanelModel PanelModel::Fit(const std::vector<colour::PatchReading>& readings) {
  PanelModel model;
  model.FitResponses(readings);
  model.FitInteraction(readings);
  model.FitGreyResidual(readings);
  return model;
}

// Each channel's full light is its full-drive patch less the black; its response at a drive is
// the share of that light the single-channel patch shows (its light less the black, projected
// onto the full light).
void PanelModel::FitResponses(const std::vector<colour::PatchReading>& readings) {
  const std::map<Drive, Xyz> lights = MeanLights(readings);
  black_ = Require(lights, {0, 0, 0});
  static const char* const kNames[] = {"red", "green", "blue"};
  for (int channel = 0; channel < 3; ++channel) {
    primaries_[channel] = Minus(Require(lights, SingleChannel(channel, kFull)), black_);
    const double norm = Dot(primaries_[channel], primaries_[channel]);
    if (!(primaries_[channel].Y > 0) || !(norm > 0)) {
      throw std::invalid_argument(std::string("the ") + kNames[channel] + " channel gives no light");
    }
    std::vector<ToneResponse::Point> points;
    for (const auto& [drive, light] : lights) {
      Drives d = DrivesOf(drive);
      if (d[(channel + 1) % 3] != 0 || d[(channel + 2) % 3] != 0) continue;
      points.push_back({d[channel], Dot(Minus(light, black_), primaries_[channel]) / norm});
    }
    try {
      responses_[channel].emplace(points);
    } catch (const std::invalid_argument& error) {
      throw std::invalid_argument(std::string("the ") + kNames[channel] + " channel: " + error.what());
    }
  }
}

Xyz PanelModel::AdditiveLight(const Drives& drives, std::array<double, 3>& shares) const {
  Xyz light = black_;
  for (int channel = 0; channel < 3; ++channel) {
    shares[channel] = responses_[channel]->LightAt(drives[channel]);
    light = Plus(light, Times(primaries_[channel], shares[channel]));
  }
  return light;
}

// What the channels' sum misses on the patches that mix channels is fitted, in least squares
// relative to each patch's luminance, by the interaction coefficients: unknown k[c][o] multiplies
// the light of channel c times the drive of channel o.
void PanelModel::FitInteraction(const std::vector<colour::PatchReading>& readings) {
  const std::map<Drive, Xyz> lights = MeanLights(readings);
  LeastSquares fit(6);
  for (const auto& [drive, measured] : lights) {
    const Drives d = DrivesOf(drive);
    const int lit = (d[0] > 0) + (d[1] > 0) + (d[2] > 0);
    if (lit < 2 || !(measured.Y > 0)) continue;
    std::array<double, 3> shares;
    const Xyz missing = Minus(measured, AdditiveLight(d, shares));
    const double weight = 1.0 / measured.Y;
    for (int component = 0; component < 3; ++component) {
      std::vector<double> row;
      for (int channel = 0; channel < 3; ++channel) {
        const Xyz& p = primaries_[channel];
        const double light = (component == 0 ? p.X : component == 1 ? p.Y : p.Z) * shares[channel];
        for (int other : {(channel + 1) % 3, (channel + 2) % 3}) {
          row.push_back(light * d[other] * weight);
        }
      }
      const double value = component == 0 ? missing.X : component == 1 ? missing.Y : missing.Z;
      fit.AddRow(row, value * weight);
    }
  }
  const std::vector<double> k = fit.Solve();
  for (int channel = 0, at = 0; channel < 3; ++channel) {
    for (int other : {(channel + 1) % 3, (channel + 2) % 3}) interaction_[channel][other] = k[at++];
  }
}

// The residual on the measured greys, relative to each grey's light, smoothed by a quadratic in
// the drive: single readings carry the instrument's noise, the model's misses change slowly.
void PanelModel::FitGreyResidual(const std::vector<colour::PatchReading>& readings) {
  std::array<LeastSquares, 3> fits{LeastSquares(3), LeastSquares(3), LeastSquares(3)};
  int greys = 0;
  for (const auto& [drive, measured] : MeanLights(readings)) {
    auto [r, g, b] = drive;
    if (r != g || g != b || r == 0) continue;
    const double d = DrivesOf(drive)[0];
    const Xyz modelled = ModelledLight({d, d, d});
    const Xyz missing = Minus(measured, modelled);
    const double relative[3] = {missing.X / modelled.Y, missing.Y / modelled.Y, missing.Z / modelled.Y};
    for (int component = 0; component < 3; ++component) {
      fits[component].AddRow({1.0, d, d * d}, relative[component]);
    }
    ++greys;
  }
  if (greys < 3) return;
  for (int component = 0; component < 3; ++component) {
    const std::vector<double> c = fits[component].Solve();
    std::copy(c.begin(), c.end(), greyResidual_[component].begin());
  }
}

// The smoothed relative residual at the mean drive, times the light the model gives, times the
// smallest drive over the largest.
Xyz PanelModel::GreyResidual(const Drives& drives, const Xyz& modelled) const {
  const double low = std::min({drives[0], drives[1], drives[2]});
  const double high = std::max({drives[0], drives[1], drives[2]});
  if (!(low > 0)) return {};
  const double d = (drives[0] + drives[1] + drives[2]) / 3;
  const double ratio = std::min(1.0, low / high / kGreyRatio);
  const double weight = ratio * ratio * (3 - 2 * ratio);
  double relative[3];
  for (int component = 0; component < 3; ++component) {
    const auto& c = greyResidual_[component];
    relative[component] = (c[0] + c[1] * d + c[2] * d * d) * weight;
  }
  return {relative[0] * modelled.Y, relative[1] * modelled.Y, relative[2] * modelled.Y};
}

Xyz PanelModel::Light(const Drives& drives) const {
  const Xyz modelled = ModelledLight(drives);
  return Plus(modelled, GreyResidual(drives, modelled));
}

Xyz PanelModel::ModelledLight(const Drives& drives) const {
  Xyz light = black_;
  for (int channel = 0; channel < 3; ++channel) {
    double scale = 1.0;
    for (int other = 0; other < 3; ++other) scale += interaction_[channel][other] * drives[other];
    const double share = responses_[channel]->LightAt(drives[channel]);
    light = Plus(light, Times(primaries_[channel], share * scale));
  }
  return light;
}

}  // namespace velluma::correction
