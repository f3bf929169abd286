// Verify: the calibrated monitor measured against its target, patch by patch.
#include <ctime>
#include <stdexcept>

#include "calibration/Station.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr const char* kVerifyCaption = "Verify";

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

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
  return std::string(f.passes() ? "Verification passed" : "Verification NG") + ": ΔE2000 " +
         VerdictText("greys", f.greys) + "; " + VerdictText("colours", f.colours);
}

}  // namespace

// Everything before the first patch: the request from the settings, the i1-Pro's preparation,
// the CA driver and the monitor's model. False when the run cannot start (it has said why).
bool Station::BeginVerification(VerificationResult& result) {
  try {
    result.request = ReadVerificationRequest(settings_);
  } catch (const std::invalid_argument& error) {
    dialogs_.MessageBox(std::string("Verify: ") + error.what(), kVerifyCaption, Dialogs::kError);
    return false;
  }
  result.planned = VerificationRun::Patches(result.request.greySteps);
  if (devices_.ConfiguredInstrument().asksOperator && !PrepareI1ForMeasuring()) {
    result.outcome = VerificationResult::Outcome::Stopped;
    return false;
  }
  CreateCaAnalyzer();
  if (devices_.CaSetUpFailed()) return false;
  return CheckMonitorModel(result.monitor, kVerifyCaption);
}

VerificationResult Station::Verify(VerificationView& view) {
  ProcedureScope procedure(*this);
  VerificationResult result;
  result.startedUtc = UtcNow();
  result.instrument = std::string(devices_.ConfiguredInstrument().name);
  status_.LockControls();
  status_.ShowMessageLine("");
  if (BeginVerification(result)) {
    status_.ShowModelName(result.monitor);
    status_.SetStatusText(0, "Verification", true);
    verification_.Run(result, view);
    // The screen is left black, as AUTO leaves it; a monitor that failed is not asked again.
    if (result.outcome != VerificationResult::Outcome::Failed)
      devices_.Link()->ShowPattern(0, 0, 0);
    status_.SetStatusText(0, "", false);
  }
  status_.ShowMessageLine(Summary(result));
  // A CA driver that found no instrument has told the operator to restart: stay locked.
  if (!devices_.CaSetUpFailed()) status_.UnlockControls();
  return result;
}

}  // namespace velluma
