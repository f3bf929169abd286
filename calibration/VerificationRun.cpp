// The verification's patches measured one at a time, each evaluated as it arrives.
#include "calibration/VerificationRun.h"

#include <cmath>
#include <string>

namespace velluma {

namespace {

constexpr const char* kVerifyCaption = "Verify";

colour::PatchReading Patch(std::string name, int r, int g, int b) {
  colour::PatchReading patch;
  patch.name = std::move(name);
  patch.r = r;
  patch.g = g;
  patch.b = b;
  return patch;
}

}  // namespace

std::vector<colour::PatchReading> VerificationRun::Patches(int greySteps) {
  std::vector<colour::PatchReading> patches = {Patch("white", 255, 255, 255),
                                               Patch("black", 0, 0, 0)};
  for (int step = 1; step + 1 < greySteps; ++step) {
    const int level = static_cast<int>(std::lround(step * 255.0 / (greySteps - 1)));
    patches.push_back(Patch("grey " + std::to_string(level), level, level, level));
  }
  patches.push_back(Patch("red", 255, 0, 0));
  patches.push_back(Patch("green", 0, 255, 0));
  patches.push_back(Patch("blue", 0, 0, 255));
  patches.push_back(Patch("cyan", 0, 255, 255));
  patches.push_back(Patch("magenta", 255, 0, 255));
  patches.push_back(Patch("yellow", 255, 255, 0));
  return patches;
}

void VerificationRun::Evaluate(VerificationResult& result) {
  result.figures = colour::Evaluate(result.readings, result.planned, result.request.target,
                                    result.request.thresholds);
}

void VerificationRun::Run(VerificationResult& result, VerificationView& view) {
  AnalyzerFront& front = devices_.Front();
  result.readings.clear();
  Evaluate(result);
  view.ShowVerification(result);
  if (const InstrumentResult begun = front.BeginRemote(); !begun.Ok()) {
    dialogs_.MessageBox("Analyzer: " + begun.ErrorText(), kVerifyCaption, Dialogs::kError);
    result.outcome = VerificationResult::Outcome::Failed;
    return;
  }
  const int total = static_cast<int>(result.planned.size());
  status_.ShowProgress(0, total);
  result.outcome = VerificationResult::Outcome::Finished;
  for (const colour::PatchReading& planned : result.planned) {
    if (view.StopRequested() || devices_.Stop().Requested()) {
      result.outcome = VerificationResult::Outcome::Stopped;
      break;
    }
    XyYValue measured;
    if (!measurement_
             .MeasurePatch(planned.r, planned.g, planned.b, planned.name, kVerifyCaption, measured)
             .Measured()) {
      result.outcome = VerificationResult::Outcome::Failed;
      break;
    }
    colour::PatchReading reading = planned;
    reading.x = measured.x;
    reading.y = measured.y;
    reading.Y = measured.Y;
    result.readings.push_back(reading);
    Evaluate(result);
    status_.ShowProgress(static_cast<int>(result.readings.size()), total);
    view.ShowVerification(result);
    status_.ProcessMessages();
  }
  status_.ClearProgress();
  front.EndRemote();
}

}  // namespace velluma
