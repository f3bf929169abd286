// Correct against the virtual bench with the PR-655 and the CA-310, on a panel whose shadows turn
// blue and whose channels' curves differ, USER2 selected on its front panel: a whole run leaves
// the memory holding the correction, which brings the panel within the goal of a correction; a
// stop during a transfer waits
// for its last frame, so the memory holds a whole table, and the message line names it; an
// operator who does not select the memory refuses the run, with the identity left in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "calibration/CorrectionFiles.h"
#include "calibration/Station.h"
#include "correction/Correction.h"
#include "history/Sha256.h"
#include "tests/support/InstrumentBenchRig.h"

namespace velluma {
namespace {

using Step = CorrectionResult::Step;

constexpr int kMemory = 1;  // USER2

// The numbers of a state line.
std::vector<int> Codes(const std::string& line) {
  std::istringstream in(line);
  std::vector<int> codes;
  for (int code; in >> code;) codes.push_back(code);
  return codes;
}

std::vector<int> Linear() {
  std::vector<int> table;
  for (int entry = 0; entry < UserMemoryTables::kFilmGammaEntries; ++entry) table.push_back(entry);
  return table;
}

// A view that records the steps it was shown and the link's frames when each began.
struct RecordingView : CorrectionView {
  explicit RecordingView(test::StationSeam& seam) : seam_(seam) {}
  void ShowCorrection(const CorrectionResult& soFar) override {
    if (steps.empty() || steps.back() != soFar.step) {
      steps.push_back(soFar.step);
      framesAt.push_back(seam_.Link()->FramesSent());
    }
  }
  bool StopRequested() override { return false; }
  // The frames sent since `step` began; none before it.
  long FramesSince(Step step) const {
    for (std::size_t i = 0; i < steps.size(); ++i)
      if (steps[i] == step) return seam_.Link()->FramesSent() - framesAt[i];
    return -1;
  }
  std::vector<Step> steps;
  std::vector<long> framesAt;

 private:
  test::StationSeam& seam_;
};

class CorrectionRunTest : public test::InstrumentBenchRig {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    StartBench({"--reply-delay", "5", "--display", VELLUMA_PANELS_DIR "/shadow-tint.panel",
                "--seed", "5", "--memory", "USER2"});
  }

  // The answer to the question whether the memory is selected; the i1-Pro's two questions
  // (calibrate on its plate, then set it to the monitor) come first and are answered Yes.
  void AnswerMemoryQuestion(int answer) {
    op_.answers.assign(InstrumentQuestions(), Operator::kAnswerYes);
    op_.answers.push_back(answer);
  }
  size_t InstrumentQuestions() const { return std::string(GetParam()) == "i1-Pro" ? 2 : 0; }

  // What the bench's memory holds: its three LUT channels and its film gamma.
  void ExpectMemoryHolds(const UserMemoryTables::LutTable& lut, bool linearFilmGamma) {
    auto state = bench_->State();
    for (int channel = 0; channel < 3; ++channel) {
      const std::vector<int> expected(lut[channel].begin(), lut[channel].end());
      EXPECT_EQ(Codes(state["lut.USER2." + std::to_string(channel)]), expected) << channel;
    }
    EXPECT_EQ(Codes(state["filmgamma.USER2"]), linearFilmGamma ? Linear() : std::vector<int>{});
  }
};

TEST_P(CorrectionRunTest, ACorrectionLeavesTheMemoryHoldingItAndMeasuresBeforeAndAfter) {
  AnswerMemoryQuestion(Operator::kAnswerYes);
  RecordingView view(seam_);
  const CorrectionResult result = station_.Correct(kMemory, view);
  ASSERT_EQ(result.outcome, CorrectionResult::Outcome::Finished) << op_.messageLine;
  EXPECT_EQ(result.procedure.outcome, ProcedureOutcome::Done);
  EXPECT_EQ(view.steps, (std::vector<Step>{Step::SendingIdentity, Step::Asking,
                                           Step::VerifyingBefore, Step::MeasuringPanel,
                                           Step::Building, Step::SendingCorrection,
                                           Step::VerifyingAfter}));
  ASSERT_TRUE(result.correction.has_value());
  ExpectMemoryHolds(result.correction->lut, true);
  EXPECT_EQ(station_.Held().tables.lutTables[kMemory], result.correction->lut);
  EXPECT_EQ(result.readings.size(), correction::CorrectionPatches().size());
  EXPECT_EQ(result.before.readings.size(), 27u);
  EXPECT_EQ(result.after.readings.size(), 27u);
  EXPECT_EQ(result.lutSha256, history::Sha256Hex(CorrectionCubeText(result.correction->lut)));
  // The goal of a correction: greys within 0.5 on average and 1.0 at most, colours within 1.0
  // and 2.0, on a panel that fails Verify's own thresholds before it.
  const colour::VerificationFigures& before = result.before.figures;
  const colour::VerificationFigures& after = result.after.figures;
  EXPECT_FALSE(before.greys.passes) << before.greys.average;
  EXPECT_LE(after.greys.average, 0.5);
  EXPECT_LE(after.greys.maximum, 1.0);
  EXPECT_LE(after.colours.average, 1.0);
  EXPECT_LE(after.colours.maximum, 2.0);
  EXPECT_EQ(after.colours.count, 6) << "the panel reaches every Rec. 709 colour";

  const size_t question = InstrumentQuestions();
  ASSERT_GE(op_.boxes.size(), question + 2);
  EXPECT_EQ(op_.boxes[question].flags, Dialogs::kYesNoQuestion);
  EXPECT_NE(op_.boxes[question].text.find("Select USER2 on the monitor's front panel"),
            std::string::npos)
      << op_.boxes[question].text;
  EXPECT_EQ(op_.boxes.back().text.rfind(
                "Complete.\nUSER2 holds the correction LUT and a linear film gamma.\n", 0),
            0u)
      << op_.boxes.back().text;
  EXPECT_EQ(op_.messageLine.rfind("Correction complete: ΔE2000 greys average ", 0), 0u)
      << op_.messageLine;
  EXPECT_NE(op_.messageLine.find("; USER2 holds the correction LUT and a linear film gamma"),
            std::string::npos)
      << op_.messageLine;
  EXPECT_FALSE(op_.locked);
  EXPECT_EQ(bench_->State()["pattern"], "0 0 0");
}

// A stop asked from outside in the middle of a LUT transfer (after 10 of its 48 frames): the
// transfer runs to its end, the run stops right after it, and the message line says which whole
// tables the memory holds.
TEST_P(CorrectionRunTest, AStopDuringATransferLeavesAWholeTableAndSaysWhich) {
  const struct {
    Step during;
    const char* message;
    bool linearFilmGamma;  // the memory's LUT is then the correction, not the identity
  } stops[] = {
      {Step::SendingIdentity,
       "Correction stopped while sending the identity; USER2 holds the identity LUT and its "
       "earlier film gamma",
       false},
      {Step::SendingCorrection,
       "Correction stopped while sending the correction; USER2 holds the correction LUT and a "
       "linear film gamma",
       true},
  };
  for (const auto& stop : stops) {
    SCOPED_TRACE(stop.message);
    AnswerMemoryQuestion(Operator::kAnswerYes);
    RecordingView view(seam_);
    station_.StopWhen([&] { return view.FramesSince(stop.during) > 10 ? "SIGINT" : ""; });
    const CorrectionResult result = station_.Correct(kMemory, view);
    station_.StopWhen({});
    EXPECT_EQ(result.outcome, CorrectionResult::Outcome::Stopped);
    EXPECT_EQ(result.procedure.outcome, ProcedureOutcome::Failed);
    EXPECT_EQ(op_.messageLine, stop.message);
    EXPECT_EQ(view.steps.back(), stop.during);
    ASSERT_EQ(result.correction.has_value(), stop.during == Step::SendingCorrection);
    ExpectMemoryHolds(result.correction ? result.correction->lut : correction::IdentityLut(),
                      stop.linearFilmGamma);
    EXPECT_TRUE(result.after.readings.empty());
    EXPECT_FALSE(op_.locked);
    bench_->Request("clear");
  }
}

TEST_P(CorrectionRunTest, AnOperatorWhoDoesNotSelectTheMemoryRefusesTheRun) {
  AnswerMemoryQuestion(Operator::kAnswerNo);
  RecordingView view(seam_);
  const CorrectionResult result = station_.Correct(kMemory, view);
  EXPECT_EQ(result.outcome, CorrectionResult::Outcome::Refused);
  EXPECT_EQ(result.procedure.outcome, ProcedureOutcome::Refused);
  EXPECT_EQ(op_.messageLine,
            "Correction not made: USER2 was not selected on the monitor; USER2 holds the identity "
            "LUT and a linear film gamma");
  ExpectMemoryHolds(correction::IdentityLut(), true);
  EXPECT_EQ(station_.Held().tables.lutTables[kMemory], correction::IdentityLut())
      << "the LookUpTable tab shows what the memory holds";
  const auto log = bench_->Log();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& line) { return line.rfind("OUT", 0) == 0; }),
            1)
      << "no patch but the black the screen is left at";
  EXPECT_EQ(bench_->State()["pattern"], "0 0 0");
  EXPECT_EQ(op_.boxes.size(), InstrumentQuestions() + 1) << "the question alone";
}

INSTANTIATE_TEST_SUITE_P(EachInstrument, CorrectionRunTest, ::testing::Values("PR-655", "CA-310", "i1-Pro"),
                         [](const auto& info) {
                           return std::string(info.param).substr(0, 2) +
                                  std::string(info.param).substr(3);
                         });

}  // namespace
}  // namespace velluma
