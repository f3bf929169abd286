#include "calibration/ProcedureOutcome.h"

#include <algorithm>
#include <string>

#include "calibration/Dialogs.h"

namespace velluma {

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
  return box.flags == Dialogs::kError || box.flags == Dialogs::kOkCancelError;
}
}  // namespace

bool IsAutoReport(const ShownBox& box) {
  return box.caption == kAutoCaption && StartsWith(box.text, kReportStart);
}

int AutoOutcome(const std::vector<ShownBox>& boxes) {
  const auto report = std::find_if(boxes.begin(), boxes.end(), IsAutoReport);
  if (report == boxes.end()) {
    const bool dim = std::any_of(boxes.begin(), boxes.end(), [](const ShownBox& box) {
      return box.caption == kMaxBrightCaption;
    });
    return dim ? kOutcomeRefused : kOutcomeFailed;
  }
  if (std::any_of(boxes.begin(), report, IsErrorBox)) return kOutcomeFailed;
  return StartsWith(report->text, kCompleteReportStart) ? kOutcomeDone : kOutcomeRefused;
}

int CompletionOutcome(const std::vector<ShownBox>& boxes, std::string_view caption) {
  const bool complete = std::any_of(boxes.begin(), boxes.end(), [&](const ShownBox& box) {
    return box.text == kComplete && box.caption == caption;
  });
  return complete ? kOutcomeDone : kOutcomeFailed;
}

}  // namespace velluma
