// velluma-cli verify against the bench: the exit status follows the verdicts, the report files
// are checked before the first patch and written only for a run that finished, and Ctrl+C stops
// the run after its patch with the patches measured printed and nothing judged that was not,
// then ends the process as SIGINT does.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

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
    return {{"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
            {"VELLUMA_CLOCK_SCALE", "0.02"},
            {"VELLUMA_PORTS", bench.PortsDir()},
            {"VELLUMA_BENCH_SOCKET", bench.SocketPath()}};
  }
  // The run's record as `history --json` prints it (the newest first).
  std::string Recorded(std::map<std::string, std::string> environment) const {
    return test::RunCli({"history", "--json"}, environment).out;
  }
  std::vector<std::string> Arguments(std::vector<std::string> extra) const {
    std::vector<std::string> arguments = {"verify", "--analyzer", "PR-655", "--analyzer-port",
                                          "COM2"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  test::TempDir dir_;
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
    std::vector<std::string> extra = {"--report", dir_.File("r.html"), "--csv", dir_.File("r.csv")};
    extra.insert(extra.end(), c.target.begin(), c.target.end());
    const test::CliResult result = test::RunCli(Arguments(extra), Environment(bench));
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_TRUE(Contains(result.out, c.verdict)) << result.out;
    const std::string csv = dir_.Read("r.csv");
    EXPECT_TRUE(Contains(csv, "# instrument: PR-655\n# monitor: QX-7MR520\n")) << csv;
    EXPECT_TRUE(Contains(csv, "\nwhite,255,255,255,")) << csv;
    EXPECT_TRUE(Contains(csv, "\nyellow,255,255,0,")) << csv;
    const std::string html = dir_.Read("r.html");
    EXPECT_EQ(Count(html, "<svg"), 3u);
    EXPECT_FALSE(Contains(html, "http://") || Contains(html, "https://"));
    EXPECT_TRUE(bench.State()["primaries"] == "none") << "nothing written into the monitor";
  }
}

// Waits (30 s at most) until the bench has shown `patches` patches.
void AwaitPatches(BenchProcess& bench, long patches) {
  const auto shown = [&] {
    const auto log = bench.Log();
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.rfind("OUT", 0) == 0; });
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (shown() < patches && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST_F(VellumaCliVerifyTest, CtrlCStopsAfterThePatchAndWritesNoFile) {
  BenchProcess bench({"--reply-delay", "100", "--pr655-measure-ms", "100", "--pr655-quiet-wake"});
  auto environment = Environment(bench);
  environment["VELLUMA_HISTORY"] = dir_.File("history.db");
  test::CliProcess cli(Arguments({"--report", dir_.File("r.html")}), environment);
  AwaitPatches(bench, 3);
  cli.Interrupt();
  const test::CliResult result = cli.Wait();
  EXPECT_EQ(result.signal, SIGINT) << "the run ends as the signal ends it\n" << result.err;
  EXPECT_TRUE(Contains(result.err, "Verification stopped after ")) << result.err;
  EXPECT_TRUE(Contains(result.out, "\nwhite        255 255 255  0.3127 0.3290   260.000"))
      << result.out;
  EXPECT_TRUE(Contains(result.out, "verdict  none: not every patch was measured\n")) << result.out;
  // The greys measured so far have figures but no verdict; the colours have neither.
  EXPECT_TRUE(Contains(result.out, " of 21 measured\ncolours  not measured\n")) << result.out;
  EXPECT_FALSE(Contains(result.out, ")  pass\n")) << result.out;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("r.html")));
  EXPECT_EQ(bench.State()["pattern"], "0 0 0");
  const std::string record = Recorded(environment);
  EXPECT_TRUE(Contains(record, "\"result\":2,")) << record;
  EXPECT_TRUE(Contains(record, "\"grey_de_average\":")) << record;
  EXPECT_FALSE(Contains(record, "\"colour_de_average\":") || Contains(record, "\"report\":"))
      << record;
}

// The report files are checked before any device is opened, with the system's reason: a folder,
// a missing folder, a device, a FIFO, standard output, and one file named twice however its
// path is spelt. Nothing is written, and the bench hears nothing.
TEST_F(VellumaCliVerifyTest, AnOutputThatCannotBeKeptIsRefusedBeforeAnyDevice) {
  BenchProcess bench({"--reply-delay", "5", "--pr655-measure-ms", "2", "--pr655-quiet-wake"});
  namespace fs = std::filesystem;
  const std::string d = dir_.Path().string();
  fs::create_directory(dir_.File("folder"));
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
  dir_.Write("r.html", "kept");
  fs::create_hard_link(dir_.File("r.html"), dir_.File("hard.csv"));
  fs::create_symlink(dir_.File("r.html"), dir_.File("soft.csv"));
  const auto twice = [](const std::string& a, const std::string& b) {
    return "--report '" + a + "' and --csv '" + b + "' name the same file";
  };
  const struct {
    std::vector<std::string> outputs;
    std::string message;
  } refused[] = {
      {{"--report", d + "/folder"}, "--report '" + d + "/folder': Is a directory"},
      {{"--csv", d + "/missing/r.csv"},
       "--csv '" + d + "/missing/r.csv': No such file or directory"},
      {{"--report", "/dev/full"}, "--report '/dev/full': Not a regular file"},
      {{"--csv", d + "/fifo"}, "--csv '" + d + "/fifo': Not a regular file"},
      {{"--csv", "/dev/stdout"},
       "--csv '/dev/stdout': standard output carries the table; name a file instead"},
      {{"--report", d + "/new.html", "--csv", d + "/./new.html"},
       twice(d + "/new.html", d + "/./new.html")},
      {{"--report", d + "/r.html", "--csv", d + "/hard.csv"},
       twice(d + "/r.html", d + "/hard.csv")},
      {{"--report", d + "/r.html", "--csv", d + "/soft.csv"},
       twice(d + "/r.html", d + "/soft.csv")},
  };
  for (const auto& c : refused) {
    const test::CliResult result = test::RunCli(Arguments(c.outputs), Environment(bench));
    EXPECT_EQ(result.status, 2) << c.message;
    EXPECT_TRUE(Contains(result.err, "velluma-cli: " + c.message + "\n")) << result.err;
  }
  // What the permissions forbid, as a user they bind.
  dir_.Write("read-only.csv", "kept");
  ::chmod(dir_.File("read-only.csv").c_str(), 0444);
  fs::create_directory(dir_.File("locked"));
  ::chmod(dir_.File("locked").c_str(), 0555);
  const std::pair<std::string, std::string> forbidden[] = {
      {d + "/read-only.csv", "--csv '" + d + "/read-only.csv': Permission denied\n"},
      {d + "/locked/r.csv", "--csv '" + d + "/locked/r.csv': Permission denied\n"}};
  for (const auto& [path_, message_] : forbidden) {
    const std::string& path = path_;  // Clang before 16 cannot capture a structured binding
    const std::string& message = message_;
    EXPECT_TRUE(test::RunUnprivileged(d, [&] {
      const test::CliResult result = test::RunCli(Arguments({"--csv", path}), Environment(bench));
      return result.status == 2 && Contains(result.err, message);
    })) << message;
  }
  EXPECT_EQ(dir_.Read("r.html"), "kept");
  EXPECT_EQ(dir_.Read("read-only.csv"), "kept");
  EXPECT_FALSE(fs::exists(dir_.File("new.html")));
  EXPECT_EQ(bench.Log(), std::vector<std::string>{});
}

// A file that cannot be written when the run ends (its folder went away meanwhile) is told with
// the system's reason and fails the run; the history names no report and counts no pass.
TEST_F(VellumaCliVerifyTest, AReportLostAfterTheRunFailsItAndIsNotRecorded) {
  BenchProcess bench({"--reply-delay", "20", "--pr655-measure-ms", "20", "--pr655-quiet-wake"});
  std::filesystem::create_directory(dir_.File("out"));
  auto environment = Environment(bench);
  environment["VELLUMA_HISTORY"] = dir_.File("history.db");
  test::CliProcess cli(
      Arguments({"--report", dir_.File("out/r.html"), "--csv", dir_.File("out/r.csv")}),
      environment);
  AwaitPatches(bench, 1);
  std::filesystem::remove_all(dir_.File("out"));
  const test::CliResult result = cli.Wait();
  EXPECT_EQ(result.status, 2) << result.err;
  const std::string lost =
      "cannot write the report " + dir_.File("out/r.html") + ": No such file or directory";
  EXPECT_TRUE(Contains(result.err, "verify: " + lost + "\n")) << result.err;
  EXPECT_TRUE(Contains(result.err, "verify: cannot write the CSV " + dir_.File("out/r.csv") +
                                       ": No such file or directory\n"))
      << result.err;
  EXPECT_TRUE(Contains(result.out, "verdict  PASS\n")) << "the display itself passed";
  const std::string record = Recorded(environment);
  EXPECT_TRUE(Contains(record, "\"result\":2,")) << record;
  EXPECT_TRUE(Contains(record, lost)) << record;
  EXPECT_FALSE(Contains(record, "\"report\":")) << record;
}

TEST_F(VellumaCliVerifyTest, ATargetThatNamesNothingIsAUsageError) {
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--curve", "3.0"}, "--curve: \"3.0\" is not a tone curve: 2.2, 2.4 or BT.1886"},
      {{"--grey-steps", "1"}, "--grey-steps: \"1\" is not a number of grey steps"},
      {{"--white", "0.7,0.4"}, "--white: \"0.7,0.4\" is not a white point"},
      {{"--white", "0.5,0.5"},
       "--white: \"0.5,0.5\" is not a white point: no colour has that chromaticity"},
      {{"--white", "0.3,1e-300"},
       "--white: \"0.3,1e-300\" is not a white point: no colour has that chromaticity"},
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
