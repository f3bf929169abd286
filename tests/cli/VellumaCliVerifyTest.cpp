// velluma-cli verify against the bench: the exit status follows the verdicts, the report files
// are written only for a run that finished, and Ctrl+C stops the run after its patch with the
// patches measured printed, then ends the process as SIGINT does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class VellumaCliVerifyTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> Environment(const BenchProcess& bench) const {
    return {{"VELLUMA_SETTINGS", dir.File("Velluma.reg")},
            {"VELLUMA_CLOCK_SCALE", "0.02"},
            {"VELLUMA_PORTS", bench.PortsDir()},
            {"VELLUMA_BENCH_SOCKET", bench.SocketPath()}};
  }
  std::vector<std::string> Arguments(std::vector<std::string> extra) const {
    std::vector<std::string> arguments = {"verify", "--analyzer", "PR-655", "--analyzer-port",
                                          "COM2"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  test::TempDir dir;
};

TEST_F(VellumaCliVerifyTest, TheExitStatusFollowsTheVerdictsAndTheReportsAreWritten) {
  struct Case {
    std::vector<std::string> display;
    std::vector<std::string> target;
    int status;
    const char* verdict;
  } cases[] = {
      {{}, {}, 0, "verdict  PASS\n"},
      {{"--tint-x", "0.01"}, {}, 1, "verdict  FAIL\n"},
      {{}, {"--curve", "2.4"}, 1, "verdict  FAIL\n"},
      {{}, {"--curve", "BT.1886", "--grey-steps", "5"}, 0, "verdict  PASS\n"},
      {{"--toe", "0.1"}, {}, 1, "verdict  FAIL\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    std::vector<std::string> options = {"--reply-delay", "5", "--pr655-measure-ms", "2",
                                        "--pr655-quiet-wake"};
    options.insert(options.end(), c.display.begin(), c.display.end());
    BenchProcess bench(options);
    std::vector<std::string> extra = {"--report", dir.File("r.html"), "--csv", dir.File("r.csv")};
    extra.insert(extra.end(), c.target.begin(), c.target.end());
    const test::CliResult result = test::RunCli(Arguments(extra), Environment(bench));
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_TRUE(Contains(result.out, c.verdict)) << result.out;
    const std::string csv = dir.Read("r.csv");
    EXPECT_TRUE(Contains(csv, "# instrument: PR-655\n# monitor: QX-7MR520\n")) << csv;
    EXPECT_TRUE(Contains(csv, "\nwhite,255,255,255,")) << csv;
    EXPECT_TRUE(Contains(csv, "\nyellow,255,255,0,")) << csv;
    const std::string html = dir.Read("r.html");
    EXPECT_EQ(Count(html, "<svg"), 3u);
    EXPECT_FALSE(Contains(html, "http://") || Contains(html, "https://"));
    EXPECT_TRUE(bench.State()["primaries"] == "none") << "nothing written into the monitor";
  }
}

TEST_F(VellumaCliVerifyTest, CtrlCStopsAfterThePatchAndWritesNoFile) {
  BenchProcess bench({"--reply-delay", "100", "--pr655-measure-ms", "100", "--pr655-quiet-wake"});
  test::CliProcess cli(Arguments({"--report", dir.File("r.html")}), Environment(bench));
  const auto shown = [&] {
    const auto log = bench.Log();
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.rfind("OUT", 0) == 0; });
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (shown() < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  cli.Interrupt();
  const test::CliResult result = cli.Wait();
  EXPECT_EQ(result.signal, SIGINT) << "the run ends as the signal ends it\n" << result.err;
  EXPECT_TRUE(Contains(result.err, "Verification stopped after ")) << result.err;
  EXPECT_TRUE(Contains(result.out, "\nwhite        255 255 255  0.3127 0.3290   260.000"))
      << result.out;
  EXPECT_TRUE(Contains(result.out, "verdict  none: not every patch was measured\n")) << result.out;
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.html")));
  EXPECT_EQ(bench.State()["pattern"], "0 0 0");
}

TEST_F(VellumaCliVerifyTest, ATargetThatNamesNothingIsAUsageError) {
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--curve", "3.0"}, "--curve: \"3.0\" is not a tone curve: 2.2, 2.4 or BT.1886"},
      {{"--grey-steps", "1"}, "--grey-steps: \"1\" is not a number of grey steps"},
      {{"--white", "0.7,0.4"}, "--white: \"0.7,0.4\" is not a white point"},
      {{"--grey-maximum", "-1"}, "--grey-maximum: \"-1\" is not a threshold"},
      {{"--save", "x"}, "--save does not belong to verify"},
  };
  for (const auto& [extra, message] : refused) {
    const test::CliResult result = test::RunCli(Arguments(extra), {});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(Contains(result.err, std::string("velluma-cli: ") + message)) << result.err;
  }
}

}  // namespace
}  // namespace velluma
