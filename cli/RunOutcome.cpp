#include "cli/RunOutcome.h"

#include <algorithm>

#include "calibration/Operator.h"

namespace velluma::cli {

namespace {
constexpr std::string_view kAutoCaption = "Auto";
constexpr std::string_view kReportStart = "Auto\t\t";
constexpr std::string_view kCompleteReportStart = "Auto\t\tComplete.";
constexpr std::string_view kMaxBrightCaption = "MaxBright";
constexpr std::string_view kComplete = "Complete.";

bool StartsWith(const std::string& text, std::string_view start) {
  return text.compare(0, start.size(), start) == 0;
}

bool IsErrorBox(const ShownBox& box) {
  return box.flags == Operator::kError || box.flags == Operator::kOkCancelError;
}
}  // namespace

bool IsAutoReport(const ShownBox& box) {
  return box.caption == kAutoCaption && StartsWith(box.text, kReportStart);
}

int AutoExitStatus(const std::vector<ShownBox>& boxes, bool questionUnanswered) {
  if (questionUnanswered) return kExitFailed;
  const auto report = std::find_if(boxes.begin(), boxes.end(), IsAutoReport);
  if (report == boxes.end()) {
    const bool dim = std::any_of(boxes.begin(), boxes.end(), [](const ShownBox& box) {
      return box.caption == kMaxBrightCaption;
    });
    return dim ? kExitRefused : kExitFailed;
  }
  if (std::any_of(boxes.begin(), report, IsErrorBox)) return kExitFailed;
  return StartsWith(report->text, kCompleteReportStart) ? kExitDone : kExitRefused;
}

int CompletionExitStatus(const std::vector<ShownBox>& boxes, std::string_view caption) {
  const bool complete = std::any_of(boxes.begin(), boxes.end(), [&](const ShownBox& box) {
    return box.text == kComplete && box.caption == caption;
  });
  return complete ? kExitDone : kExitFailed;
}

}  // namespace velluma::cli
