// The exit status of AUTO and of the procedures that end in "Complete.", from the boxes shown.
#include <gtest/gtest.h>

#include "cli/RunOutcome.h"

namespace velluma::cli {
namespace {

using Boxes = std::vector<ShownBox>;

const ShownBox kCalibrationQuestion{"Please set i1Pro to Calibration Plate\nCalibrate Start?",
                                    "Calibration", 36};
const ShownBox kComplete{"Auto\t\tComplete.\nMaxBright\t\t 260", "Auto", 0};
const ShownBox kGreysNg{"Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t 260", "Auto", 16};
const ShownBox kMeasuredNg{"Auto\t\tNG\nMaxBright\t\t   0", "Auto", 16};
const ShownBox kMaxBright{"QX-7MR520\nMaxBright\t 200\tNG", "MaxBright", 16};
const ShownBox kAbort{"Auto Calibration Abort", "Abort", 0};
const ShownBox kWrongModel{"monitor: QX-9", "Auto", 16};
const ShownBox kMeasurementError{"Analyzer: Weak light   insufficient signal.", "Measurement", 16};
const ShownBox kSaveError{"Cannot save the calibration data to \"/x/y.txt\"", "Save", 16};

struct AutoCase {
  const char* what;
  Boxes boxes;
  bool unanswered;
  int status;
};

class AutoExitStatusTest : public ::testing::TestWithParam<AutoCase> {};

TEST_P(AutoExitStatusTest, FollowsTheReport) {
  EXPECT_EQ(AutoExitStatus(GetParam().boxes, GetParam().unanswered), GetParam().status)
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    RunOutcome, AutoExitStatusTest,
    ::testing::Values(
        AutoCase{"complete", {kComplete}, false, 0},
        AutoCase{"questions answered, then complete", {kCalibrationQuestion, kComplete}, false, 0},
        AutoCase{"greys out of their window", {kGreysNg}, false, 1},
        AutoCase{"a dim panel: no report", {kMaxBright}, false, 1},
        AutoCase{"aborted", {kAbort}, false, 2},
        AutoCase{"another monitor", {kWrongModel}, false, 2},
        AutoCase{"nothing shown (a CA set-up that found no instrument)", {}, false, 2},
        AutoCase{"NG after a failed measurement", {kMeasurementError, kMeasuredNg}, false, 2},
        AutoCase{"Complete. after a failed save", {kSaveError, kComplete}, false, 2},
        AutoCase{"a question nobody answered", {kCalibrationQuestion, kAbort}, true, 2}));

TEST(RunOutcomeTest, CompletionNeedsTheCompleteBoxOfThatCaption) {
  EXPECT_EQ(CompletionExitStatus({{"Complete.", "0-Cal.", 0}}, "0-Cal."), 0);
  EXPECT_EQ(CompletionExitStatus({{"Complete.", "PC->MONITOR", 0}}, "0-Cal."), 2);
  EXPECT_EQ(CompletionExitStatus({{"Analyzer: Error", "0-Cal.", 16}}, "0-Cal."), 2);
  EXPECT_EQ(CompletionExitStatus({{"0-Cal. Abort", "Abort", 0}}, "0-Cal."), 2);
  EXPECT_EQ(CompletionExitStatus({}, "PC->MONITOR"), 2);
}

}  // namespace
}  // namespace velluma::cli
