#pragma once

#include <string_view>
#include <vector>

#include "calibration/ShownBox.h"

namespace velluma {

// How a procedure ended, read from the boxes it showed: the command line's exit status and the
// run history's result code.
inline constexpr int kOutcomeDone = 0;     // the procedure completed
inline constexpr int kOutcomeRefused = 1;  // the file or the monitor was refused, or "NG"
inline constexpr int kOutcomeFailed = 2;   // an abort or a device error

// The box that closes AUTO with its report: caption "Auto", text "Auto\t\t..." .
bool IsAutoReport(const ShownBox& box);

// AUTO's outcome from the boxes it showed:
// - a "Complete." report: done; an "NG" report: refused (the greys are out of their window);
// - no report, but the "MaxBright" box: refused (the panel is too dim; AUTO stops before
//   measuring);
// - no report otherwise (an abort, a device error), or an error box before the report (a failed
//   measurement or transfer reports "NG" too, a failed save "Complete."): failed.
int AutoOutcome(const std::vector<ShownBox>& boxes);

// Done when a "Complete." box with `caption` was shown, failed otherwise (an error or an abort).
int CompletionOutcome(const std::vector<ShownBox>& boxes, std::string_view caption);

}  // namespace velluma
