#pragma once

#include <string>
#include <vector>

#include "calibration/ProcedureResult.h"
#include "calibration/VerificationRequest.h"
#include "colour/Verification.h"
#include "datafiles/VerificationReport.h"

namespace velluma {

// A verification as far as it went: what was asked, what was measured and the figures of it.
struct VerificationResult {
  // Finished: every patch measured. Stopped: the operator stopped it. Failed: a device or a
  // setting failed (and said why); in both, the patches measured before are kept.
  enum class Outcome { Finished, Stopped, Failed };

  Outcome outcome = Outcome::Failed;
  VerificationRequest request;
  std::vector<colour::PatchReading> planned;   // every patch of the run, in order, unmeasured
  std::vector<colour::PatchReading> readings;  // those measured, in order
  colour::VerificationFigures figures;         // of the readings
  std::string instrument;                      // the configured model, "CA-310" ...
  std::string monitor;                         // what the monitor answered to its model query
  std::string startedUtc;                      // "2026-12-09T14:03:00Z"
  // How it ended as every procedure of the station ends, once it has: the outcome the run history
  // keeps and the command line exits with (a run whose files were not written has failed), the
  // message line it ended with, the monitor's answer and the figures.
  ProcedureResult procedure;

  bool Passes() const { return outcome == Outcome::Finished && figures.Passes(); }
  // What the report's header says of the run.
  ReportInfo Report() const {
    return {instrument, monitor, startedUtc, request.target, request.thresholds};
  }
};

}  // namespace velluma
