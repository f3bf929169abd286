#pragma once

#include "calibration/CorrectionResult.h"
#include "calibration/CorrectionView.h"
#include "calibration/Devices.h"
#include "calibration/Dialogs.h"
#include "calibration/HeldData.h"
#include "calibration/MeasurementRun.h"
#include "calibration/StatusView.h"
#include "calibration/VerificationRun.h"
#include "calibration/Views.h"

namespace velluma {

// The steps of a correction, once the instrument is ready and the monitor has answered: the
// identity LUT and a linear film gamma sent into the memory, the operator asked to select it on
// the monitor, the verification before, the panel's own patches, the correction built from them
// and sent, the verification after. The tables sent are also held, so the LookUpTable and Film
// Gamma tabs show what the memory holds. A stop (the view's, or a signal's) is taken between two
// steps or two patches, never inside a table's transfer: the memory always holds whole tables.
class CorrectionRun {
 public:
  static constexpr const char* kCaption = "Correct";

  CorrectionRun(Devices& devices, MeasurementRun& measurement, VerificationRun& verification,
                HeldData& held, Dialogs& dialogs, StatusView& status, Views& views)
      : devices_(devices),
        measurement_(measurement),
        verification_(verification),
        held_(held),
        dialogs_(dialogs),
        status_(status),
        views_(views) {}

  // Runs every step on `result` (its memory, `before` and `after` with their request and planned
  // patches, and `planned` set), showing them on `view`; sets `result.outcome` and keeps
  // `result.lut` and `result.filmGamma` to what the memory holds.
  void Run(CorrectionResult& result, CorrectionView& view);

 private:
  bool RunSteps(CorrectionResult& result);
  bool Stopping(CorrectionResult& result);
  bool SendIdentity(CorrectionResult& result);
  bool MemorySelected(CorrectionResult& result);
  bool VerifyThrough(CorrectionResult& result, VerificationResult& verification);
  bool MeasurePanel(CorrectionResult& result);
  bool MeasurePanelPatches(CorrectionResult& result);
  bool BuildCorrection(CorrectionResult& result);
  bool SendLut(CorrectionResult& result, const UserMemoryTables::LutTable& lut,
               CorrectionResult::Table kind);
  bool SendFilmGamma(CorrectionResult& result, const UserMemoryTables::FilmGammaTable& table);
  bool Failed(CorrectionResult& result, const std::string& box);
  void Show(const CorrectionResult& result);

  Devices& devices_;
  MeasurementRun& measurement_;
  VerificationRun& verification_;
  HeldData& held_;
  Dialogs& dialogs_;
  StatusView& status_;
  Views& views_;
  CorrectionView* view_ = nullptr;  // while a run goes on
};

}  // namespace velluma
