#include "correction/Correction.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "correction/DriveSolver.h"
#include "correction/GreyAxis.h"

namespace velluma::correction {
namespace {

constexpr int kFull = 255;
constexpr int kNodeStep = kFull / (kMonitorGridPoints - 1);  // 17: the nodes are whole drives
constexpr double kReachedError = 1e-4;
constexpr double kShownDeltaE = 1.0;

colour::PatchReading Patch(std::string name, int r, int g, int b) {
  return {std::move(name), r, g, b};
}

colour::PatchReading ChannelPatch(int channel, int level) {
  static const char* const kNames[] = {"red ", "green ", "blue "};
  return Patch(kNames[channel] + std::to_string(level), channel == 0 ? level : 0,
               channel == 1 ? level : 0, channel == 2 ? level : 0);
}

// The brightest white of the target's chromaticity the panel reaches: a bisection on its
// luminance, each step solving the drives for it.
double BrightestWhite(const PanelModel& panel, colour::Chromaticity white) {
  const colour::Xyz& black = panel.Black();
  double low = black.Y;
  double high = black.Y;
  for (int channel = 0; channel < 3; ++channel) high += panel.Primary(channel).Y;
  high *= 1.5;
  Drives start{1, 1, 1};
  for (int step = 0; step < 40; ++step) {
    const double middle = (low + high) / 2;
    const colour::Xyz goal = colour::XyzFromXyY(white.x, white.y, middle);
    DriveSolver solver(panel, goal);
    const DriveSolver::Solution solution = solver.Solve(goal, start);
    if (solution.error < kReachedError) {
      low = middle;
      start = solution.drives;
    } else {
      high = middle;
    }
  }
  return low;
}

// The 10-bit code of a drive. A drive that is not a number (readings no panel could give) is
// refused rather than sent: the monitor must hold a table of real codes.
std::int32_t Code(double drive) {
  if (!std::isfinite(drive)) throw std::invalid_argument("the readings describe no panel");
  return static_cast<std::int32_t>(std::lround(std::clamp(drive, 0.0, 1.0) * kMonitorCodeMax));
}

void SetNode(MonitorLutTable& lut, int r, int g, int b, const Drives& drives) {
  const int entry = MonitorEntryRedFastest(r, g, b);
  for (int channel = 0; channel < kMonitorLutChannels; ++channel) {
    lut[channel][entry] = Code(drives[channel]);
  }
}

}  // namespace

// Black and white three times each (the ends every figure is relative to), each channel alone at
// nine levels dense near black where the toe is, greys at nine levels, the corners and edge
// middles of the cube that mix channels, and each channel at full once more.
std::vector<colour::PatchReading> CorrectionPatches() {
  static constexpr int kRampLevels[] = {17, 34, 51, 68, 102, 136, 170, 204, 255};
  static constexpr int kGreyLevels[] = {17, 34, 51, 68, 102, 136, 170, 204, 238};
  static constexpr int kCubeLevels[] = {0, 136, 255};
  std::vector<colour::PatchReading> patches;
  for (int i = 0; i < 3; ++i) {
    patches.push_back(Patch("black", 0, 0, 0));
    patches.push_back(Patch("white", kFull, kFull, kFull));
  }
  for (int channel = 0; channel < 3; ++channel) {
    for (int level : kRampLevels) patches.push_back(ChannelPatch(channel, level));
  }
  for (int level : kGreyLevels) patches.push_back(Patch("grey " + std::to_string(level), level, level, level));
  for (int r : kCubeLevels) {
    for (int g : kCubeLevels) {
      for (int b : kCubeLevels) {
        const int lit = (r > 0) + (g > 0) + (b > 0);
        const bool grey = r == g && g == b;
        if (lit < 2 || grey) continue;
        patches.push_back(Patch("mix " + std::to_string(r) + "," + std::to_string(g) + "," +
                                    std::to_string(b),
                                r, g, b));
      }
    }
  }
  for (int channel = 0; channel < 3; ++channel) patches.push_back(ChannelPatch(channel, kFull));
  return patches;
}

MonitorLutTable IdentityLut() {
  MonitorLutTable lut{};
  for (int b = 0; b < kMonitorGridPoints; ++b) {
    for (int g = 0; g < kMonitorGridPoints; ++g) {
      for (int r = 0; r < kMonitorGridPoints; ++r) {
        const int entry = MonitorEntryRedFastest(r, g, b);
        const int nodes[3] = {r, g, b};
        for (int channel = 0; channel < kMonitorLutChannels; ++channel) {
          lut[channel][entry] = Code(MonitorGridInput(nodes[channel]));
        }
      }
    }
  }
  return lut;
}

bool Correction::CanShow(int r, int g, int b) const {
  const colour::TargetColours colours(target, whiteY, blackY);
  const colour::Xyz goal = colours.Of(r, g, b);
  const colour::Xyz white = colour::XyzFromXyY(target.white.x, target.white.y, whiteY);
  const DriveSolver solver(*panel, white);
  const DriveSolver::Solution solution = solver.Solve(goal, solver.Guess(goal));
  const double deltaE = colour::DeltaE2000(colour::LabFromXyz(panel->Light(solution.drives), white),
                                           colour::LabFromXyz(goal, white));
  return deltaE < kShownDeltaE;
}

Correction BuildCorrection(const std::vector<colour::PatchReading>& readings,
                           const colour::Target& target) {
  auto panel = std::make_shared<const PanelModel>(PanelModel::Fit(readings));
  Correction correction;
  correction.panel = panel;
  correction.target = target;
  correction.blackY = panel->Black().Y;
  correction.whiteY = BrightestWhite(*panel, target.white);
  if (!(correction.whiteY > correction.blackY)) {
    throw std::invalid_argument("the panel shows no white brighter than its black");
  }
  const colour::Chromaticity whenBlack = target.white;
  correction.red = colour::ChromaticityOf(panel->Primary(0), whenBlack);
  correction.green = colour::ChromaticityOf(panel->Primary(1), whenBlack);
  correction.blue = colour::ChromaticityOf(panel->Primary(2), whenBlack);

  const colour::TargetColours colours(target, correction.whiteY, correction.blackY);
  const colour::Xyz white =
      colour::XyzFromXyY(target.white.x, target.white.y, correction.whiteY);
  const DriveSolver solver(*panel, white);
  GreyAxis::Nodes diagonal;
  for (int b = 0; b < kMonitorGridPoints; ++b) {
    for (int g = 0; g < kMonitorGridPoints; ++g) {
      for (int r = 0; r < kMonitorGridPoints; ++r) {
        const colour::Xyz goal = colours.Of(r * kNodeStep, g * kNodeStep, b * kNodeStep);
        const bool black = r == 0 && g == 0 && b == 0;
        const Drives drives = black ? Drives{} : solver.Solve(goal, solver.Guess(goal)).drives;
        if (r == g && g == b) diagonal[r] = drives;
        SetNode(correction.lut, r, g, b, drives);
      }
    }
  }
  diagonal = GreyAxis(*panel, colours, white).Fit(diagonal);
  for (int k = 0; k < kMonitorGridPoints; ++k) SetNode(correction.lut, k, k, k, diagonal[k]);
  return correction;
}

}  // namespace velluma::correction
