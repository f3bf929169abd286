// The steps of a correction: the identity, the operator's choice of memory, the verification
// before, the panel's patches, the correction built and sent, the verification after.
#include "calibration/CorrectionRun.h"

#include <stdexcept>

#include "calibration/CorrectionFiles.h"
#include "correction/Correction.h"
#include "history/Sha256.h"

namespace velluma {

namespace {

using Step = CorrectionResult::Step;
using Table = CorrectionResult::Table;

// A verification inside the correction shows itself as a step of the correction, and stops
// when the correction is asked to.
class StepView : public VerificationView {
 public:
  StepView(const CorrectionResult& result, CorrectionView& view) : result_(result), view_(view) {}
  void ShowVerification(const VerificationResult&) override { view_.ShowCorrection(result_); }
  bool StopRequested() override { return view_.StopRequested(); }

 private:
  const CorrectionResult& result_;
  CorrectionView& view_;
};

UserMemoryTables::FilmGammaTable LinearFilmGamma() {
  UserMemoryTables::FilmGammaTable table{};
  for (int entry = 0; entry < UserMemoryTables::kFilmGammaEntries; ++entry) table[entry] = entry;
  return table;
}

// The colours (not the greys) whose target the panel cannot show: reported apart, out of the
// colour verdict.
void MarkOutOfReach(const correction::Correction& made, std::vector<colour::PatchReading>& patches) {
  for (colour::PatchReading& patch : patches)
    patch.outOfReach = !patch.IsGrey() && !made.CanShow(patch.r, patch.g, patch.b);
}

}  // namespace

void CorrectionRun::Show(const CorrectionResult& result) {
  view_->ShowCorrection(result);
  status_.ProcessMessages();
}

bool CorrectionRun::Failed(CorrectionResult& result, const std::string& box) {
  dialogs_.MessageBox(box, kCaption, Dialogs::kError);
  result.outcome = CorrectionResult::Outcome::Failed;
  return false;
}

// Asked between steps and patches: the operator's Abort, or a signal.
bool CorrectionRun::Stopping(CorrectionResult& result) {
  if (!view_->StopRequested() && !devices_.Stop().Requested()) return false;
  result.outcome = CorrectionResult::Outcome::Stopped;
  return true;
}

void CorrectionRun::Run(CorrectionResult& result, CorrectionView& view) {
  view_ = &view;
  devices_.FinishTablesBeforeStopping(true);
  if (RunSteps(result)) result.outcome = CorrectionResult::Outcome::Finished;
  devices_.FinishTablesBeforeStopping(false);
  Show(result);
  view_ = nullptr;
}

bool CorrectionRun::RunSteps(CorrectionResult& result) {
  return SendIdentity(result) && !Stopping(result) && MemorySelected(result) &&
         !Stopping(result) && VerifyThrough(result, result.before) && !Stopping(result) &&
         MeasurePanel(result) && !Stopping(result) && BuildCorrection(result) &&
         SendLut(result, result.correction->lut, Table::Correction) && !Stopping(result) &&
         VerifyThrough(result, result.after);
}

// The held table of the memory becomes the one sent, so the LookUpTable tab shows it; the memory
// holds it only once the whole transfer went through.
bool CorrectionRun::SendLut(CorrectionResult& result, const UserMemoryTables::LutTable& lut,
                            Table kind) {
  result.step = kind == Table::Identity ? Step::SendingIdentity : Step::SendingCorrection;
  Show(result);
  held_.tables.lutTables[result.memory] = lut;
  held_.lutLoaded[result.memory] = true;
  held_.lutSource[result.memory].clear();
  views_.RefreshLutTable();
  LCD& link = *devices_.Link();
  if (const LinkResult sent = link.WriteLut(result.memory, lut); sent != LinkResult::Ok) {
    result.lut = Table::Incomplete;
    result.procedure.cause = link.LutFailure();
    return Failed(result, "monitor: " + link.ErrorText(sent));
  }
  result.lut = kind;
  return true;
}

bool CorrectionRun::SendFilmGamma(CorrectionResult& result,
                                  const UserMemoryTables::FilmGammaTable& table) {
  held_.tables.filmGammaTables[result.memory] = table;
  held_.filmGammaLoaded[result.memory] = true;
  held_.filmGammaSource[result.memory].clear();
  views_.RefreshFilmGammaTable();
  LCD& link = *devices_.Link();
  if (const LinkResult sent = link.WriteFilmGamma(result.memory, table); sent != LinkResult::Ok) {
    result.filmGamma = Table::Incomplete;
    return Failed(result, "monitor: " + link.ErrorText(sent));
  }
  result.filmGamma = Table::Identity;
  return true;
}

bool CorrectionRun::SendIdentity(CorrectionResult& result) {
  return SendLut(result, correction::IdentityLut(), Table::Identity) && !Stopping(result) &&
         SendFilmGamma(result, LinearFilmGamma());
}

bool CorrectionRun::MemorySelected(CorrectionResult& result) {
  result.step = Step::Asking;
  Show(result);
  const std::string name = result.MemoryName();
  const std::string question =
      name + " now holds a LUT and a film gamma that leave every colour as it is.\n" +
      "Select " + name + " on the monitor's front panel: the correction is measured through it.\n" +
      "\nIs " + name + " selected?";
  if (dialogs_.MessageBox(question, kCaption, Dialogs::kYesNoQuestion) == Dialogs::kAnswerYes)
    return true;
  result.outcome = CorrectionResult::Outcome::Refused;
  return false;
}

bool CorrectionRun::VerifyThrough(CorrectionResult& result, VerificationResult& verification) {
  result.step = &verification == &result.before ? Step::VerifyingBefore : Step::VerifyingAfter;
  StepView stepView(result, *view_);
  verification_.Run(verification, stepView);
  switch (verification.outcome) {
    case VerificationResult::Outcome::Finished:
      return true;
    case VerificationResult::Outcome::Stopped:
      result.outcome = CorrectionResult::Outcome::Stopped;
      return false;
    case VerificationResult::Outcome::Failed:
      break;
  }
  result.outcome = CorrectionResult::Outcome::Failed;
  return false;
}

// The panel's own patches in remote mode, as the verification measures its patches.
bool CorrectionRun::MeasurePanel(CorrectionResult& result) {
  result.step = Step::MeasuringPanel;
  result.readings.clear();
  Show(result);
  AnalyzerFront& front = devices_.Front();
  if (const InstrumentResult begun = front.BeginRemote(); !begun.Ok())
    return Failed(result, "Analyzer: " + begun.ErrorText());
  const bool measured = MeasurePanelPatches(result);
  status_.ClearProgress();
  front.EndRemote();
  return measured;
}

bool CorrectionRun::MeasurePanelPatches(CorrectionResult& result) {
  const int total = static_cast<int>(result.planned.size());
  status_.ShowProgress(0, total);
  for (const colour::PatchReading& planned : result.planned) {
    if (Stopping(result)) return false;
    XyYValue measured;
    if (!measurement_.MeasurePatch(planned.r, planned.g, planned.b, planned.name, kCaption, measured)
             .Measured()) {
      result.outcome = CorrectionResult::Outcome::Failed;
      return false;
    }
    colour::PatchReading reading = planned;
    reading.x = measured.x;
    reading.y = measured.y;
    reading.Y = measured.Y;
    result.readings.push_back(reading);
    status_.ShowProgress(static_cast<int>(result.readings.size()), total);
    Show(result);
  }
  return true;
}

// The correction from the panel's readings; the colours it cannot show are marked in both
// verifications, so before and after are judged on the same colours.
bool CorrectionRun::BuildCorrection(CorrectionResult& result) {
  result.step = Step::Building;
  Show(result);
  try {
    result.correction = correction::BuildCorrection(result.readings, result.before.request.target);
  } catch (const std::invalid_argument& error) {
    return Failed(result, std::string("The panel cannot be corrected: ") + error.what());
  }
  result.lutSha256 = history::Sha256Hex(CorrectionCubeText(result.correction->lut));
  VerificationResult& before = result.before;
  MarkOutOfReach(*result.correction, before.planned);
  MarkOutOfReach(*result.correction, before.readings);
  before.figures = colour::Evaluate(before.readings, before.planned, before.request.target,
                                    before.request.thresholds);
  MarkOutOfReach(*result.correction, result.after.planned);
  return true;
}

}  // namespace velluma
