// The console operator where the runs of the program do not reach: questions nobody answers
// (the run refuses them before it starts) and the progress line of a terminal.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/ConsoleOperator.h"
#include "cli/ExitStatus.h"

namespace velluma::cli {
namespace {

class ConsoleOperatorTest : public ::testing::Test {
 protected:
  ConsoleOperator Make(std::optional<int> answer, bool progressBar = false) {
    ConsoleOperator::Answers answers;
    answers.question = answer;
    return ConsoleOperator(out_, err_, answers, progressBar);
  }

  std::ostringstream out_, err_;
};

TEST_F(ConsoleOperatorTest, QuestionsAreAnsweredByTheCommandLine) {
  const std::string question = "Please set i1Pro to Calibration Plate\nCalibrate Start?";
  ConsoleOperator yes = Make(Operator::kAnswerYes);
  EXPECT_EQ(yes.MessageBox(question, "Calibration", Operator::kYesNoQuestion),
            Operator::kAnswerYes);
  ConsoleOperator no = Make(Operator::kAnswerNo);
  EXPECT_EQ(no.MessageBox(question, "Calibration", Operator::kYesNoQuestion), Operator::kAnswerNo);
  EXPECT_FALSE(no.QuestionUnanswered());
  ConsoleOperator none = Make(std::nullopt);
  EXPECT_EQ(none.MessageBox(question, "Calibration", Operator::kYesNoQuestion), Operator::kAnswerNo)
      << "No ends every procedure that asks";
  EXPECT_TRUE(none.QuestionUnanswered());
  const auto complete = ProcedureResult::Ended(ProcedureOutcome::Done, "Auto\t\tComplete.");
  EXPECT_EQ(AutoExitStatus(complete, no.QuestionUnanswered()), kExitDone);
  EXPECT_EQ(AutoExitStatus(complete, none.QuestionUnanswered()), kExitFailed)
      << "a question nobody answered fails the run";
  EXPECT_EQ(err_.str(), "Calibration: " + question + " Yes\nCalibration: " + question +
                            " No\nCalibration: " + question + " (no --yes or --no: answered No)\n");
}

TEST_F(ConsoleOperatorTest, TheGreyRampDrawsOneLineOnATerminalOnly) {
  ConsoleOperator quiet = Make(std::nullopt, false);
  quiet.ShowProgress(128, 256);
  EXPECT_EQ(err_.str(), "");

  ConsoleOperator op = Make(std::nullopt, true);
  op.ShowProgress(0, 256);
  op.ShowProgress(128, 256);
  EXPECT_EQ(err_.str(),
            "\rGrey ramp [----------------------------------------]   0/256"
            "\rGrey ramp [####################--------------------] 128/256");
  err_.str("");
  op.MessageBox("Monitor: Communication Error", "Measurement", Operator::kError);
  EXPECT_EQ(err_.str(), "\nMeasurement: Monitor: Communication Error\n")
      << "a box starts a line of its own";
  err_.str("");
  op.ShowProgress(256, 256);
  op.ClearProgress();
  EXPECT_EQ(err_.str().substr(err_.str().size() - 2), " \r") << "cleared at the end of the ramp";
  err_.str("");
  op.ShowMessageLine("Auto Calibration Complete");
  EXPECT_EQ(err_.str(), "Auto Calibration Complete\n");
  err_.str("");
  op.ShowProgress(128, 256);
  op.ShowReport("Auto\t\tNG\nMaxBright\t\t 250", "Auto", Operator::kError);
  EXPECT_EQ(out_.str(), "Auto\t\tNG\nMaxBright\t\t 250\n") << "a report is the command's result";
  EXPECT_EQ(err_.str().back(), '\n') << "after the progress line ends";
}

}  // namespace
}  // namespace velluma::cli
