// The command line as a table: lines velluma-cli runs and what they ask for, lines it refuses and
// why.
#include <gtest/gtest.h>

#include "calibration/Operator.h"
#include "cli/CommandLine.h"
#include "cli/UsageError.h"

namespace velluma::cli {
namespace {

using Args = std::vector<std::string>;
using Overrides = std::vector<SettingOverride>;

TEST(CommandLineTest, EachCommandWithItsArguments) {
  auto line = ParseCommandLine({"lut-convert", "look.cube"});
  EXPECT_EQ(line.command, Command::LutConvert);
  EXPECT_EQ(line.file, "look.cube");
  EXPECT_TRUE(line.overrides.empty()) << "without --format the settings decide";

  line = ParseCommandLine({"measure", "0", "128", "255"});
  EXPECT_EQ(line.patch, (std::array<int, 3>{0, 128, 255}));

  line = ParseCommandLine({"send-lut", "look.cube", "--memory", "USER3", "--format", "baselight"});
  EXPECT_EQ(line.command, Command::SendLut);
  EXPECT_EQ(line.memory, 2);
  EXPECT_EQ(line.overrides.size(), 2u);
  line = ParseCommandLine({"send-film-gamma", "--memory=USER2", "curve.csv"});
  EXPECT_EQ(line.file, "curve.csv");
  EXPECT_EQ(line.memory, 1);

  line = ParseCommandLine({"auto", "--save", "run.txt", "--no"});
  EXPECT_EQ(line.savePath, "run.txt");
  EXPECT_EQ(line.answer, Operator::kAnswerNo);
  EXPECT_EQ(ParseCommandLine({"zero-cal", "--yes"}).answer, Operator::kAnswerYes);
  EXPECT_EQ(ParseCommandLine({"zero-cal"}).answer, std::nullopt);
}

TEST(CommandLineTest, FormatReplacesTheLutSettings) {
  EXPECT_EQ(ParseCommandLine({"lut-convert", "a.cube", "--format", "davinci"}).overrides,
            (Overrides{{"LUTFile", 0}, {"LutFileType", std::string("Davinci Resolve")}}));
  EXPECT_EQ(ParseCommandLine({"--format=baselight", "lut-convert", "a.cub"}).overrides,
            (Overrides{{"LUTFile", 0}, {"LutFileType", std::string("Baselight")}}))
      << "options may come before the command";
}

TEST(CommandLineTest, SharedOptionsBecomeSettingsForTheRun) {
  const auto line = ParseCommandLine({"query", "--monitor-port", "/dev/pts/3", "--monitor-type",
                                      "RS-485", "--monitor-speed", "38400", "--analyzer", "PR-655",
                                      "--analyzer-port=COM2", "--settings", "/etc/velluma.reg"});
  EXPECT_EQ(line.overrides, (Overrides{{"MonitorPort", std::string("/dev/pts/3")},
                                       {"MonitorType", std::string("RS-485")},
                                       {"MonitorSpeed", 38400},
                                       {"AnalizerModel", std::string("PR-655")},
                                       {"AnalizerPort", std::string("COM2")}}));
  EXPECT_EQ(line.settingsFile, "/etc/velluma.reg");
}

TEST(CommandLineTest, OffsetsAreCheckedAndWrittenAsTheEditsWriteThem) {
  const auto line =
      ParseCommandLine({"measure", "--offset-x", "0.05", "--offset-y", "-0.002", "1", "2", "3"});
  EXPECT_EQ(line.offsets, (std::array<std::string, 2>{"+0.0500", "-0.0020"}))
      << "a value beginning with '-' is still the option's value";
  EXPECT_EQ(line.patch, (std::array<int, 3>{1, 2, 3}));
  EXPECT_EQ(ParseCommandLine({"measure", "1", "2", "3"}).offsets,
            (std::array<std::string, 2>{"", ""}));
}

TEST(CommandLineTest, HelpWinsOverEverythingElse) {
  auto line = ParseCommandLine({"--help"});
  EXPECT_TRUE(line.help);
  EXPECT_EQ(line.command, std::nullopt);
  line = ParseCommandLine({"measure", "300", "--help"});
  EXPECT_TRUE(line.help);
  EXPECT_EQ(line.command, Command::Measure);
  EXPECT_EQ(ParseCommandLine({"-h", "--save", "x", "auto"}).command, Command::Auto)
      << "the value of --save is not taken for the command";
  EXPECT_THROW(ParseCommandLine({"frobnicate", "--help"}), UsageError);
}

struct RefusedLine {
  Args arguments;
  std::string problem;             // a part of the message
  std::optional<Command> command;  // whose usage is shown
};

class RefusedLineTest : public ::testing::TestWithParam<RefusedLine> {};

TEST_P(RefusedLineTest, IsAUsageErrorThatSaysWhy) {
  const RefusedLine& refused = GetParam();
  try {
    ParseCommandLine(refused.arguments);
    FAIL() << "accepted";
  } catch (const UsageError& error) {
    EXPECT_NE(std::string(error.what()).find(refused.problem), std::string::npos) << error.what();
    EXPECT_EQ(error.CommandConcerned(), refused.command);
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, RefusedLineTest,
    ::testing::Values(
        RefusedLine{{}, "no command given", std::nullopt},
        RefusedLine{{"--yes"}, "no command given", std::nullopt},
        RefusedLine{{"frobnicate"}, "unknown command 'frobnicate'", std::nullopt},
        // Arguments.
        RefusedLine{{"query", "extra"}, "unexpected argument 'extra'", Command::Query},
        RefusedLine{{"lut-convert"}, "too few arguments", Command::LutConvert},
        RefusedLine{{"measure", "1", "2"}, "too few arguments", Command::Measure},
        RefusedLine{{"measure", "1", "2", "256"}, "'256' is not a patch value", Command::Measure},
        RefusedLine{{"measure", "1", "2", "-1"}, "'-1' is not a patch value", Command::Measure},
        RefusedLine{{"measure", "1", "2", "0x10"}, "'0x10' is not a patch value", Command::Measure},
        RefusedLine{{"measure", "1", "2", ""}, "'' is not a patch value", Command::Measure},
        // Options.
        RefusedLine{{"query", "--frob"}, "unknown option '--frob'", Command::Query},
        RefusedLine{{"query", "--monitor-port"}, "--monitor-port needs a value", Command::Query},
        RefusedLine{{"query", "--monitor-port="}, "--monitor-port needs a value", Command::Query},
        RefusedLine{{"query", "--yes=1"}, "--yes takes no value", Command::Query},
        RefusedLine{{"query", "--yes", "--yes"}, "--yes is given twice", Command::Query},
        RefusedLine{
            {"query", "--yes", "--no"}, "--yes and --no exclude each other", Command::Query},
        RefusedLine{{"query", "--monitor-speed", "9601"}, "9600, 19200, 38400", Command::Query},
        RefusedLine{{"query", "--analyzer", "CA-410"}, "CA-210, CA-310, i1-Pro", Command::Query},
        RefusedLine{{"query", "--offset-x", "0.1"}, "between -0.0999 and 0.0999", Command::Query},
        RefusedLine{{"query", "--offset-y", "0.01x"}, "between -0.0999 and 0.0999", Command::Query},
        // Options of one command.
        RefusedLine{{"send-lut", "a.cube"}, "--memory is needed", Command::SendLut},
        RefusedLine{{"send-film-gamma", "a.csv", "--memory", "USER4"},
                    "USER1, USER2 or USER3",
                    Command::SendFilmGamma},
        RefusedLine{{"auto"}, "--save FILE is needed", Command::Auto},
        RefusedLine{
            {"query", "--save", "x.txt"}, "--save does not belong to query", Command::Query},
        RefusedLine{{"lut-convert", "a.cube", "--memory", "USER1"},
                    "--memory does not belong",
                    Command::LutConvert},
        RefusedLine{{"send-film-gamma", "a.csv", "--memory", "USER1", "--format", "davinci"},
                    "--format does not belong",
                    Command::SendFilmGamma},
        RefusedLine{{"lut-convert", "a.cube", "--format", "cube"},
                    "baselight or davinci",
                    Command::LutConvert}));

}  // namespace
}  // namespace velluma::cli
