// Verify: the calibrated monitor measured against its target, patch by patch.
#include <stdexcept>

#include "calibration/Station.h"
#include "platform/CLocale.h"
#include "platform/StationIdentity.h"

namespace velluma {

namespace {

constexpr const char* kVerifyCaption = "Verify";

std::string VerdictText(const char* kind, const colour::Verdict& verdict) {
  return FormatC("%s average %.2f, maximum %.2f", kind, verdict.average, verdict.maximum);
}

// The message line after a run.
std::string Summary(const VerificationResult& result) {
  const std::string measured =
      result.readings.empty()
          ? std::string()
          : FormatC(" after %d of %d patches", static_cast<int>(result.readings.size()),
                    static_cast<int>(result.planned.size()));
  switch (result.outcome) {
    case VerificationResult::Outcome::Stopped:
      return "Verification stopped" + measured;
    case VerificationResult::Outcome::Failed:
      return "Verification failed" + measured;
    case VerificationResult::Outcome::Finished:
      break;
  }
  const colour::VerificationFigures& f = result.figures;
  return std::string(f.Passes() ? "Verification passed" : "Verification NG") + ": ΔE2000 " +
         VerdictText("greys", f.greys) + "; " + VerdictText("colours", f.colours);
}

}  // namespace

// Everything before the first patch: the request from the settings, the i1-Pro's preparation,
// the CA driver and the monitor's model. False when the run cannot start (it has said why, in a
// box under `caption`).
bool Station::BeginVerification(VerificationResult& result, const char* caption) {
  try {
    result.request = ReadVerificationRequest(settings_);
  } catch (const std::invalid_argument& error) {
    dialogs_.MessageBox(std::string(caption) + ": " + error.what(), caption, Dialogs::kError);
    return false;
  }
  result.planned = VerificationRun::Patches(result.request.greySteps);
  if (devices_.ConfiguredInstrument().asksOperator && !PrepareI1ForMeasuring()) {
    result.outcome = VerificationResult::Outcome::Stopped;
    return false;
  }
  devices_.CreateCaAnalyzer();
  if (devices_.CaSetUpFailed()) return false;
  return CheckMonitorModel(result.monitor, caption, result.procedure);
}

// How a verification ended, as every procedure ends: how far it came, the figures of each kind
// of patch it measured and its verdicts, and the report when one was written. A run whose files
// were not all written has failed, whatever its verdicts.
void Station::EndVerification(VerificationResult& result, const std::string& message,
                              const VerificationOutputs& outputs) {
  const bool written = outputs.failure.empty();
  ProcedureResult& ended = result.procedure;
  ended.outcome = result.outcome != VerificationResult::Outcome::Finished || !written
                      ? ProcedureOutcome::Failed
                  : result.Passes() ? ProcedureOutcome::Done
                                    : ProcedureOutcome::Refused;
  ended.report = written ? message : message + "; " + outputs.failure;
  ended.figures.clear();
  ended.AddFigure("patches", FormatC("%d of %d", static_cast<int>(result.readings.size()),
                                     static_cast<int>(result.planned.size())));
  if (!result.readings.empty()) AddVerificationFigures(result.figures, ended);
  if (!outputs.report.empty()) ended.AddFigure("report", outputs.report);
}

void Station::AddVerificationFigures(const colour::VerificationFigures& f, ProcedureResult& ended) {
  if (f.greys.Measured()) {
    ended.AddFigure("grey_de_average", FormatC("%.3f", f.greys.average));
    ended.AddFigure("grey_de_maximum", FormatC("%.3f", f.greys.maximum));
  }
  if (f.colours.Measured()) {
    ended.AddFigure("colour_de_average", FormatC("%.3f", f.colours.average));
    ended.AddFigure("colour_de_maximum", FormatC("%.3f", f.colours.maximum));
  }
  ended.AddFigure("white_Y", FormatC("%.3f", f.whiteY));
  ended.AddFigure("white_cct", FormatC("%.0f", f.whiteTemperature.kelvin));
  ended.AddFigure("white_duv", FormatC("%+.4f", f.whiteTemperature.duv));
  ended.AddFigure("contrast", FormatC("%.0f", f.contrast));
}

VerificationResult Station::Verify(VerificationView& view) {
  ProcedureScope procedure(*this, history::Kind::Verification);
  VerificationResult result;
  result.startedUtc = UtcNow();
  result.instrument = std::string(devices_.ConfiguredInstrument().name);
  status_.LockControls();
  status_.ShowMessageLine("");
  if (BeginVerification(result, kVerifyCaption)) {
    status_.ShowModelName(result.monitor);
    status_.SetStatusText(0, "Verification", true);
    verification_.Run(result, view);
    // The screen is left black, as AUTO leaves it; a monitor that failed is not asked again.
    if (result.outcome != VerificationResult::Outcome::Failed)
      devices_.Link()->ShowPattern(0, 0, 0);
    status_.SetStatusText(0, "", false);
  }
  const std::string summary = Summary(result);
  status_.ShowMessageLine(summary);
  EndVerification(result, summary, view.KeepOutputs(result));
  procedure.Ended(result.procedure);
  // A CA driver that found no instrument has told the operator to restart: stay locked.
  if (!devices_.CaSetUpFailed()) status_.UnlockControls();
  return result;
}

}  // namespace velluma
