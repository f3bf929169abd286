// The evaluation of a verification run: each patch compared with the target in CIELAB and
// CIEDE2000, the greys' gamma, and the summary verdicts.
#include "colour/Verification.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velluma::colour {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kDriveMax = 255;

bool IsWhite(const PatchReading& p) {
  return p.IsGrey() && p.r == kDriveMax;
}
bool IsBlack(const PatchReading& p) {
  return p.IsGrey() && p.r == 0;
}

// The patch the run's white (or black) is taken from: the first patch 255,255,255 (0,0,0),
// otherwise the brightest (darkest) grey; none when no grey was measured.
const PatchReading* FindReference(const std::vector<PatchReading>& readings, bool white) {
  const PatchReading* best = nullptr;
  for (const PatchReading& p : readings) {
    if (white ? IsWhite(p) : IsBlack(p)) return &p;
    if (!p.IsGrey()) continue;
    if (!best || (white ? p.Y > best->Y : p.Y < best->Y)) best = &p;
  }
  return best;
}

// ΔE within the maximum of its kind. A ΔE that is not a number fails.
bool WithinMaximum(const PatchReading& p, double deltaE, const Thresholds& thresholds) {
  return deltaE <= (p.IsGrey() ? thresholds.greyMaximum : thresholds.colourMaximum);
}

// The gamma of a grey step between black and white; none for other patches and for a step that
// gives no finite gamma (one at or below the black, for example).
std::optional<double> StepGamma(const PatchReading& p, double whiteY, double blackY) {
  if (!p.IsGrey() || p.r <= 0 || p.r >= kDriveMax) return std::nullopt;
  const double gamma = PointGamma(p.r / static_cast<double>(kDriveMax), p.Y, whiteY, blackY);
  if (!std::isfinite(gamma)) return std::nullopt;
  return gamma;
}

PatchFigures Figure(const PatchReading& p, const TargetColours& colours, const Xyz& white,
                    const Thresholds& thresholds, double whiteY, double blackY) {
  PatchFigures f;
  f.reading = p;
  f.measured = XyzFromXyY(p.x, p.y, p.Y);
  if (white.Y > 0) {
    f.lab = LabFromXyz(f.measured, white);
    f.targetLab = LabFromXyz(colours.Of(p.r, p.g, p.b), white);
    f.deltaE = DeltaE2000(f.lab, f.targetLab);
  } else {  // no white to be relative to: nothing can be compared
    f.lab = f.targetLab = {kNaN, kNaN, kNaN};
    f.deltaE = kNaN;
  }
  f.gamma = StepGamma(p, whiteY, blackY);
  f.passes = WithinMaximum(p, f.deltaE, thresholds);
  return f;
}

// The patches of one kind that have a verdict: those the display can reach.
int CountOfKind(const std::vector<PatchReading>& patches, bool greys) {
  return static_cast<int>(std::count_if(patches.begin(), patches.end(), [&](const PatchReading& p) {
    return p.IsGrey() == greys && !p.outOfReach;
  }));
}

// Average and maximum ΔE of the patches of one kind, and whether all `planned` were measured and
// both are within their thresholds. A ΔE that is not a number makes the verdict fail. A patch out
// of the display's reach is counted apart and judges nothing.
Verdict Summarise(const std::vector<PatchFigures>& patches, bool greys, int planned,
                  double averageLimit, double maximumLimit) {
  Verdict v;
  v.planned = planned;
  double sum = 0;
  bool allNumbers = true;
  for (const PatchFigures& f : patches) {
    if (f.reading.IsGrey() != greys) continue;
    if (f.reading.outOfReach) {
      ++v.outOfReach;
      continue;
    }
    ++v.count;
    sum += f.deltaE;
    v.maximum = std::max(v.maximum, f.deltaE);
    allNumbers = allNumbers && !std::isnan(f.deltaE);
  }
  if (!v.Measured()) {  // no average of nothing, and no verdict
    v.passes = planned == 0;
    return v;
  }
  v.average = sum / v.count;
  if (!allNumbers) v.maximum = kNaN;
  v.passes = v.Complete() && allNumbers && v.average <= averageLimit && v.maximum <= maximumLimit;
  return v;
}

}  // namespace

VerificationFigures Evaluate(const std::vector<PatchReading>& readings, const Target& target,
                             const Thresholds& thresholds) {
  return Evaluate(readings, readings, target, thresholds);
}

VerificationFigures Evaluate(const std::vector<PatchReading>& readings,
                             const std::vector<PatchReading>& planned, const Target& target,
                             const Thresholds& thresholds) {
  VerificationFigures figures;
  const PatchReading* white = FindReference(readings, true);
  const PatchReading* black = FindReference(readings, false);
  if (white) {
    figures.whiteY = white->Y;
    figures.whiteChromaticity = {white->x, white->y};
    figures.whiteTemperature = CorrelatedColourTemperature(figures.whiteChromaticity);
  }
  if (black) figures.blackY = black->Y;
  // One grey alone (a run stopped after its first patch) is no contrast.
  const bool twoGreys = white && black && white != black;
  figures.contrast = twoGreys && figures.blackY > 0 ? figures.whiteY / figures.blackY : 0.0;

  // Lab is relative to the target white at the measured white's luminance.
  const Xyz referenceWhite = XyzFromXyY(target.white.x, target.white.y, figures.whiteY);
  const TargetColours colours(target, figures.whiteY, figures.blackY);
  for (const PatchReading& p : readings) {
    figures.patches.push_back(
        Figure(p, colours, referenceWhite, thresholds, figures.whiteY, figures.blackY));
  }
  figures.greys = Summarise(figures.patches, true, CountOfKind(planned, true),
                            thresholds.greyAverage, thresholds.greyMaximum);
  figures.colours = Summarise(figures.patches, false, CountOfKind(planned, false),
                              thresholds.colourAverage, thresholds.colourMaximum);
  return figures;
}

}  // namespace velluma::colour
