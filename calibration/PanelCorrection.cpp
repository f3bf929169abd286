// Correct: a user memory's correction from the instrument's preparation to the message line that
// says which tables the memory holds, and the figures the run history keeps of it.
#include "calibration/Station.h"
#include "correction/Correction.h"
#include "platform/CLocale.h"
#include "platform/StationIdentity.h"

namespace velluma {

namespace {

using Outcome = CorrectionResult::Outcome;
using Step = CorrectionResult::Step;

const char* StepWords(Step step) {
  switch (step) {
    case Step::Preparing:
      return "before its first step";
    case Step::SendingIdentity:
      return "while sending the identity";
    case Step::Asking:
      return "at the question";
    case Step::VerifyingBefore:
      return "in the verification before";
    case Step::MeasuringPanel:
      return "while measuring the panel";
    case Step::Building:
      return "while building the correction";
    case Step::SendingCorrection:
      return "while sending the correction";
    case Step::VerifyingAfter:
      break;
  }
  return "in the verification after";
}

using Figure = double colour::Verdict::*;

// "1.52 → 0.31"; a dash for a side not measured.
std::string Arrow(Figure figure, const colour::Verdict& before, const colour::Verdict& after) {
  const auto shown = [&](const colour::Verdict& v) {
    return v.Measured() ? FormatC("%.2f", v.*figure) : std::string("-");
  };
  return shown(before) + " → " + shown(after);
}

// "greys: average 1.52 → 0.31, maximum 2.80 → 0.75".
std::string KindChange(const char* kind, const colour::Verdict& before,
                       const colour::Verdict& after) {
  return std::string(kind) + ": average " + Arrow(&colour::Verdict::average, before, after) +
         ", maximum " + Arrow(&colour::Verdict::maximum, before, after);
}

// The message line after a run.
std::string Summary(const CorrectionResult& r) {
  const std::string contents = r.MemoryContents();
  switch (r.outcome) {
    case Outcome::Finished:
      return "Correction complete: ΔE2000 greys average " +
             Arrow(&colour::Verdict::average, r.before.figures.greys, r.after.figures.greys) +
             ", colours average " +
             Arrow(&colour::Verdict::average, r.before.figures.colours, r.after.figures.colours) +
             "; " + contents;
    case Outcome::Refused:
      return "Correction not made: " + r.MemoryName() + " was not selected on the monitor; " +
             contents;
    case Outcome::Stopped:
      return std::string("Correction stopped ") + StepWords(r.step) + "; " + contents;
    case Outcome::Failed:
      break;
  }
  return std::string("Correction failed ") + StepWords(r.step) + "; " + contents;
}

// The box that ends a finished run: what the memory holds, and the figures before and after.
std::string CompleteText(const CorrectionResult& r) {
  const colour::VerificationFigures& before = r.before.figures;
  const colour::VerificationFigures& after = r.after.figures;
  std::string text = "Complete.\n" + r.MemoryContents() + ".\n\nΔE2000 before → after\n" +
                     KindChange("greys", before.greys, after.greys) + "\n" +
                     KindChange("colours", before.colours, after.colours);
  std::string apart;
  for (const colour::PatchFigures* patch : r.OutOfReach())
    apart += (apart.empty() ? "" : ", ") + patch->reading.name + FormatC(" %.2f", patch->deltaE);
  if (!apart.empty()) text += "\nBeyond the panel's reach (not in the colours): " + apart;
  return text + (after.Passes() ? "\n\nThe display passes." : "\n\nThe display fails.");
}

void AddKindFigures(const std::string& prefix, const colour::VerificationFigures& f,
                    ProcedureResult& ended) {
  const std::pair<const char*, const colour::Verdict*> kinds[] = {{"grey", &f.greys},
                                                                  {"colour", &f.colours}};
  for (const auto& [kind, verdict] : kinds) {
    if (!verdict->Measured()) continue;
    ended.AddFigure(prefix + kind + "_de_average", FormatC("%.3f", verdict->average));
    ended.AddFigure(prefix + kind + "_de_maximum", FormatC("%.3f", verdict->maximum));
  }
}

}  // namespace

// The verification's preparation (its request, the instrument, the monitor's model) for both
// verifications of the run, and the panel's patches.
bool Station::BeginCorrection(CorrectionResult& result) {
  VerificationResult& before = result.before;
  const bool begun = BeginVerification(before, CorrectionRun::kCaption);
  result.procedure.monitor = before.procedure.monitor;
  if (!begun) {
    result.outcome = before.outcome == VerificationResult::Outcome::Stopped ? Outcome::Stopped
                                                                             : Outcome::Failed;
    return false;
  }
  VerificationResult& after = result.after;
  after.request = before.request;
  after.planned = before.planned;
  after.instrument = before.instrument;
  after.monitor = before.monitor;
  after.startedUtc = before.startedUtc;
  result.planned = correction::CorrectionPatches();
  return true;
}

// How a correction ended, as every procedure ends: its outcome (a run whose files were not all
// written has failed), its message line, and the figures of both verifications and of the LUT.
void Station::EndCorrection(CorrectionResult& result, const std::string& message,
                            const CorrectionOutputs& outputs) {
  const bool written = outputs.failure.empty();
  ProcedureResult& ended = result.procedure;
  ended.outcome = result.outcome == Outcome::Refused                ? ProcedureOutcome::Refused
                  : result.outcome == Outcome::Finished && written ? ProcedureOutcome::Done
                                                                    : ProcedureOutcome::Failed;
  ended.report = written ? message : message + "; " + outputs.failure;
  ended.figures.clear();
  ended.AddFigure("memory", result.MemoryName());
  ended.AddFigure("patches", FormatC("%d of %d", static_cast<int>(result.readings.size()),
                                     static_cast<int>(result.planned.size())));
  AddKindFigures("before_", result.before.figures, ended);
  AddKindFigures("after_", result.after.figures, ended);
  std::string apart;
  for (const colour::PatchFigures* patch : result.OutOfReach())
    apart += (apart.empty() ? "" : ",") + patch->reading.name;
  if (!apart.empty()) ended.AddFigure("out_of_reach", apart);
  if (!result.lutSha256.empty()) ended.AddFigure("lut_sha256", result.lutSha256);
  ended.AddFile(outputs.cube);
  if (!outputs.report.empty()) ended.AddFigure("report", outputs.report);
}

CorrectionResult Station::Correct(int memory, CorrectionView& view) {
  ProcedureScope procedure(*this, history::Kind::Correct);
  CorrectionResult result;
  result.memory = memory;
  result.before.startedUtc = UtcNow();
  result.before.instrument = std::string(devices_.ConfiguredInstrument().name);
  status_.LockControls();
  status_.ShowMessageLine("");
  if (BeginCorrection(result)) {
    status_.ShowModelName(result.before.monitor);
    status_.SetStatusText(0, CorrectionRun::kCaption, true);
    correction_.Run(result, view);
    // The screen is left black, as AUTO leaves it; a monitor that failed is not asked again.
    if (result.outcome != Outcome::Failed) devices_.Link()->ShowPattern(0, 0, 0);
    status_.SetStatusText(0, "", false);
  }
  const std::string summary = Summary(result);
  status_.ShowMessageLine(summary);
  if (result.outcome == Outcome::Finished)
    dialogs_.MessageBox(CompleteText(result), CorrectionRun::kCaption, Dialogs::kOk);
  EndCorrection(result, summary, view.KeepOutputs(result));
  procedure.Ended(result.procedure);
  // A CA driver that found no instrument has told the operator to restart: stay locked.
  if (!devices_.CaSetUpFailed()) status_.UnlockControls();
  return result;
}

}  // namespace velluma
