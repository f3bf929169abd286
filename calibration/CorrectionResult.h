#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/ProcedureResult.h"
#include "calibration/VerificationResult.h"
#include "colour/Verification.h"
#include "correction/Correction.h"

namespace velluma {

// A correction of one user memory as far as it went: what the memory holds now, the verification
// through the identity LUT ("before") and through the correction ("after"), the patches measured
// to model the panel and the correction made of them.
struct CorrectionResult {
  // Finished: every step done, the memory holds the correction and "after" is measured in full.
  // Refused: the operator did not select the memory on the monitor. Stopped: the operator, or a
  // signal, stopped it between two steps. Failed: a setting, a device or the panel's readings
  // failed (and a box said why).
  enum class Outcome { Finished, Refused, Stopped, Failed };
  // The step the run is at, or the one it ended in.
  enum class Step {
    Preparing,
    SendingIdentity,
    Asking,
    VerifyingBefore,
    MeasuringPanel,
    Building,
    SendingCorrection,
    VerifyingAfter,
  };
  // What one table of the memory is, as far as the run knows: as it was before the run, the
  // identity (for the film gamma: linear), the correction, or incomplete after a transfer that
  // failed part of the way.
  enum class Table { AsItWas, Identity, Correction, Incomplete };

  int memory = 0;  // 0..2 for USER1..USER3
  Outcome outcome = Outcome::Failed;
  Step step = Step::Preparing;
  Table lut = Table::AsItWas;
  Table filmGamma = Table::AsItWas;
  VerificationResult before;
  VerificationResult after;
  std::vector<colour::PatchReading> planned;         // the panel's patches, unmeasured
  std::vector<colour::PatchReading> readings;        // those measured, in order
  std::optional<correction::Correction> correction;  // once built
  std::string lutSha256;  // of the correction LUT's .cube text (CorrectionCube), once built
  // How it ended as every procedure of the station ends: the run history's outcome, the message
  // line it ended with, the monitor's answer and the figures.
  ProcedureResult procedure;

  // "USER1".
  std::string MemoryName() const;
  // "USER1 holds the correction LUT and a linear film gamma", "USER1 is as it was", ...
  std::string MemoryContents() const;
  // The patches of "after" whose target colours the panel cannot show.
  std::vector<const colour::PatchFigures*> OutOfReach() const;
};

}  // namespace velluma
