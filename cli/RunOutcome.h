#pragma once

#include <string_view>
#include <vector>

#include "calibration/ProcedureOutcome.h"
#include "cli/ShownBox.h"

namespace velluma::cli {

// velluma-cli's exit statuses: a procedure's outcome, and 2 for a usage error as well.
inline constexpr int kExitDone = kOutcomeDone;
inline constexpr int kExitRefused = kOutcomeRefused;
inline constexpr int kExitFailed = kOutcomeFailed;

using ::velluma::IsAutoReport;

// AUTO's outcome from the boxes it showed; a question left unanswered fails the run.
inline int AutoExitStatus(const std::vector<ShownBox>& boxes, bool questionUnanswered) {
  return questionUnanswered ? kExitFailed : AutoOutcome(boxes);
}

// 0 when a "Complete." box with `caption` was shown, 2 otherwise (an error or an abort).
inline int CompletionExitStatus(const std::vector<ShownBox>& boxes, std::string_view caption) {
  return CompletionOutcome(boxes, caption);
}

}  // namespace velluma::cli
