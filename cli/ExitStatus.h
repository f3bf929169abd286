#pragma once

#include "calibration/ProcedureResult.h"

namespace velluma::cli {

// velluma-cli's exit statuses: a procedure's outcome, and 2 for a usage error as well.
inline constexpr int kExitDone = static_cast<int>(ProcedureOutcome::Done);
inline constexpr int kExitRefused = static_cast<int>(ProcedureOutcome::Refused);
inline constexpr int kExitFailed = static_cast<int>(ProcedureOutcome::Failed);

// AUTO's exit status: its outcome, or a failure when a question was answered No for want of
// --yes or --no, whatever the run ended with.
inline int AutoExitStatus(const ProcedureResult& result, bool questionUnanswered) {
  return questionUnanswered ? kExitFailed : result.Code();
}

}  // namespace velluma::cli
