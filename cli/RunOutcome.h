#pragma once

#include <string_view>
#include <vector>

#include "cli/ShownBox.h"

namespace velluma::cli {

// velluma-cli's exit statuses.
inline constexpr int kExitDone = 0;     // the procedure completed
inline constexpr int kExitRefused = 1;  // the file or the monitor was refused
inline constexpr int kExitFailed = 2;   // a usage error, an abort or a device error

// The box that closes AUTO with its report: caption "Auto", text "Auto\t\t..." .
bool IsAutoReport(const ShownBox& box);

// AUTO's outcome from the boxes it showed:
// - a "Complete." report: 0; an "NG" report: 1 (the greys are out of their window);
// - no report, but the "MaxBright" box: 1 (the panel is too dim; AUTO stops before measuring);
// - no report otherwise (an abort, a device error), an error box before the report (a failed
//   measurement or transfer reports "NG" too, a failed save "Complete."), or a question left
//   unanswered: 2.
int AutoExitStatus(const std::vector<ShownBox>& boxes, bool questionUnanswered);

// 0 when a "Complete." box with `caption` was shown, 2 otherwise (an error or an abort).
int CompletionExitStatus(const std::vector<ShownBox>& boxes, std::string_view caption);

}  // namespace velluma::cli
