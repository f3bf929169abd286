// The correction on the bench's panels, which it has never seen: measured through the identity,
// modelled, corrected, and verified through the monitor's own picture path (the LUT in a user
// memory, interpolated tetrahedrally), with the instrument's noise. The figures of each run are
// printed as a table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "bench/instruments/DisplayModel.h"
#include "bench/monitor/MonitorState.h"
#include "calibration/VerificationRun.h"
#include "correction/Correction.h"

namespace velluma::correction {
namespace {

constexpr int kMemory = 0;
constexpr int kGreySteps = 21;

// A bench monitor showing user memory USER1, and the panel of a display file.
class BenchPanel {
 public:
  BenchPanel(const std::string& file, uint32_t seed) : display_(Parameters(file, seed)) {
    std::vector<int> linear(bench::MonitorState::kFilmGammaEntries);
    for (int i = 0; i < static_cast<int>(linear.size()); ++i) linear[i] = i;
    monitor_.WriteFilmGamma(kMemory, 0, linear);
    monitor_.SelectMemory(kMemory);
  }

  void Load(const MonitorLutTable& lut) {
    for (int channel = 0; channel < kMonitorLutChannels; ++channel) {
      monitor_.WriteLut(kMemory, channel, 0, std::vector<int>(lut[channel].begin(), lut[channel].end()));
    }
  }

  std::vector<colour::PatchReading> Measure(std::vector<colour::PatchReading> patches) {
    for (auto& patch : patches) {
      monitor_.SetPatch({patch.r, patch.g, patch.b});
      const bench::Measurement light = display_.Measure(monitor_);
      std::tie(patch.x, patch.y, patch.Y) = std::tie(light.x, light.y, light.Y);
    }
    return patches;
  }

 private:
  static bench::DisplayParameters Parameters(const std::string& file, uint32_t seed) {
    bench::DisplayParameters parameters;
    parameters.LoadFile(std::string(VELLUMA_PANELS_DIR) + "/" + file);
    parameters.seed = seed;
    return parameters;
  }

  bench::MonitorState monitor_{"QX-7MR520"};
  bench::DisplayModel display_;
};

struct PanelRun {
  const char* panel;
  const char* targetName;
  colour::ToneCurve curve;
  const colour::Gamut* gamut;
};

// The colours the panel cannot show are left out of the colour figures, as Correct reports them.
colour::Verdict ShownColours(const colour::VerificationFigures& figures, const Correction& correction,
                             int& apart) {
  colour::Verdict verdict;
  double sum = 0;
  apart = 0;
  for (const auto& patch : figures.patches) {
    const auto& p = patch.reading;
    if (p.IsGrey()) continue;
    if (!correction.CanShow(p.r, p.g, p.b)) {
      ++apart;
      continue;
    }
    sum += patch.deltaE;
    verdict.maximum = std::max(verdict.maximum, patch.deltaE);
    ++verdict.count;
  }
  verdict.average = verdict.count ? sum / verdict.count : 0;
  return verdict;
}

TEST(CorrectionGoalTest, BringsUnseenPanelsToTheTargetWithFewPatches) {
  const PanelRun runs[] = {
      {"wide-gamut.panel", "Rec.709 2.2", colour::ToneCurve::Power22, &colour::kRec709},
      {"wide-gamut.panel", "DCI-P3 2.4", colour::ToneCurve::Power24, &colour::kDciP3},
      {"near-rec709.panel", "Rec.709 BT.1886", colour::ToneCurve::Bt1886, &colour::kRec709},
      {"shadow-tint.panel", "Rec.709 2.4", colour::ToneCurve::Power24, &colour::kRec709},
      {"soft-highlights.panel", "DCI-P3 BT.1886", colour::ToneCurve::Bt1886, &colour::kDciP3},
      {"cool-white.panel", "Rec.709 2.2", colour::ToneCurve::Power22, &colour::kRec709},
  };
  const std::vector<colour::PatchReading> verification = VerificationRun::Patches(kGreySteps);
  const std::vector<colour::PatchReading> patches = CorrectionPatches();
  const size_t measured = patches.size() + 2 * verification.size();
  EXPECT_LE(measured, 200u);
  std::printf("| panel | target | greys before avg/max | colours before avg/max | greys after "
              "avg/max | colours after avg/max | apart | patches | LUT ms |\n");
  for (uint32_t seed = 1; const PanelRun& run : runs) {
    SCOPED_TRACE(std::string(run.panel) + " to " + run.targetName);
    colour::Target target;
    target.curve = run.curve;
    target.gamut = run.gamut;
    BenchPanel panel(run.panel, seed++);
    panel.Load(IdentityLut());
    const auto before = colour::Evaluate(panel.Measure(verification), target, {});
    const auto readings = panel.Measure(patches);
    const auto started = std::chrono::steady_clock::now();
    const Correction correction = BuildCorrection(readings, target);
    const double ms = std::chrono::duration<double, std::milli>(
                          std::chrono::steady_clock::now() - started).count();
    panel.Load(correction.lut);
    const auto after = colour::Evaluate(panel.Measure(verification), target, {});
    int apart = 0;
    const colour::Verdict colours = ShownColours(after, correction, apart);
    std::printf("| %s | %s | %.2f / %.2f | %.2f / %.2f | %.2f / %.2f | %.2f / %.2f | %d | %zu | %.0f |\n",
                run.panel, run.targetName, before.greys.average, before.greys.maximum,
                before.colours.average, before.colours.maximum, after.greys.average,
                after.greys.maximum, colours.average, colours.maximum, apart, measured, ms);
    EXPECT_LE(after.greys.average, 0.5);
    EXPECT_LE(after.greys.maximum, 1.0);
    EXPECT_LE(colours.average, 1.0);
    EXPECT_LE(colours.maximum, 2.0);
  }
}

}  // namespace
}  // namespace velluma::correction
