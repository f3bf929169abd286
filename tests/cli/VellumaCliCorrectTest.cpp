// velluma-cli correct against the bench's panels with the PR-655 and the CA-310: the panel fails
// the goal of a correction before and meets it after, the colours it cannot show are named apart,
// the .cube loads back (through lut-convert) to the very table the monitor holds, the report
// shows both runs, and the history keeps the run with the LUT's SHA-256, which is the .cube's
// own; what correct cannot run is a usage error before any device is opened.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The value of `"name":"value"` in a JSON line of the history.
std::string JsonValue(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":\"";
  const auto at = line.find(key);
  if (at == std::string::npos) return {};
  const auto from = at + key.size();
  return line.substr(from, line.find('"', from) - from);
}

// lut-convert's lines "r,g,b" as the bench's state lines of the three channels.
std::vector<std::string> ChannelLines(const std::string& converted) {
  std::vector<std::string> channels(3);
  std::istringstream lines(converted);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream codes(line);
    std::string code;
    for (std::string& channel : channels) {
      std::getline(codes, code, ',');
      channel += (channel.empty() ? "" : " ") + code;
    }
  }
  return channels;
}

// One run: an instrument, a panel of the bench's and the gamut it is corrected to.
struct Correction {
  const char* instrument;
  const char* panel;
  const char* gamut;
  const char* beyondReach;  // the line naming the colours beyond the panel's reach; "" for none
};

class VellumaCliCorrectTest : public ::testing::TestWithParam<Correction> {
 protected:
  std::map<std::string, std::string> Environment(const BenchProcess& bench) const {
    return {{"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
            {"VELLUMA_CLOCK_SCALE", "0.02"},
            {"VELLUMA_PORTS", bench.PortsDir()},
            {"VELLUMA_BENCH_SOCKET", bench.SocketPath()},
            {"VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH},
            {"VELLUMA_HISTORY", dir_.File("history.db")}};
  }

  test::TempDir dir_;
};

// Verify's thresholds at the goal of a correction, so that its verdicts tell whether it was met.
const std::vector<std::string> kGoal = {"--grey-average",   "0.5", "--grey-maximum",   "1.0",
                                        "--colour-average", "1.0", "--colour-maximum", "2.0"};

TEST_P(VellumaCliCorrectTest, TheCorrectionMeetsItsGoalAndItsCubeLoadsBackToTheMemory) {
  const Correction& run = GetParam();
  BenchProcess bench({"--reply-delay", "5", "--pr655-measure-ms", "2", "--pr655-quiet-wake",
                      "--display", std::string(VELLUMA_PANELS_DIR) + "/" + run.panel, "--seed",
                      "11", "--memory", "USER3"});
  const auto environment = Environment(bench);
  std::vector<std::string> arguments = {
      "correct", "--analyzer", run.instrument, "--analyzer-port", "COM2", "--memory", "USER3",
      "--cube", dir_.File("c.cube"), "--report", dir_.File("r.html"), "--csv", dir_.File("r.csv"),
      "--gamut", run.gamut, "--yes"};
  arguments.insert(arguments.end(), kGoal.begin(), kGoal.end());
  const test::CliResult result = test::RunCli(arguments, environment);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(Contains(result.err, "Is USER3 selected? Yes\n")) << result.err;
  EXPECT_TRUE(Contains(result.err, "; USER3 holds the correction LUT and a linear film gamma\n"))
      << result.err;
  const auto after = result.out.find("\nafter: USER3 through the correction\n");
  ASSERT_NE(after, std::string::npos) << result.out;
  EXPECT_EQ(result.out.rfind("before: USER3 through the identity LUT\ntarget   white D65, tone "
                             "curve 2.2, gamut " + std::string(run.gamut) + "\n",
                             0),
            0u)
      << result.out;
  EXPECT_TRUE(Contains(result.out.substr(0, after), "\nverdict  FAIL\n")) << result.out;
  EXPECT_TRUE(Contains(result.out.substr(after), "\nverdict  PASS\n")) << result.out;
  EXPECT_EQ(Contains(result.out, "beyond the panel's reach"), *run.beyondReach != 0);
  EXPECT_TRUE(Contains(result.out, run.beyondReach)) << result.out;

  const test::CliResult converted =
      test::RunCli({"lut-convert", dir_.File("c.cube"), "--format", "davinci"}, environment);
  ASSERT_EQ(converted.status, 0) << converted.err;
  auto state = bench.State();
  const std::vector<std::string> channels = ChannelLines(converted.out);
  for (int channel = 0; channel < 3; ++channel)
    EXPECT_EQ(channels[channel], state["lut.USER3." + std::to_string(channel)]) << channel;

  const std::string record = test::RunCli({"history", "--json"}, environment).out;
  EXPECT_EQ(record.rfind("{\"id\":1,", 0), 0u) << record;
  EXPECT_TRUE(Contains(record, "\"kind\":\"correct\",")) << record;
  EXPECT_TRUE(Contains(record, "\"result\":0,")) << record;
  EXPECT_EQ(JsonValue(record, "memory"), "USER3");
  EXPECT_EQ(JsonValue(record, "file"), dir_.File("c.cube"));
  EXPECT_EQ(JsonValue(record, "lut_sha256").size(), 64u) << record;
  EXPECT_EQ(JsonValue(record, "lut_sha256"), JsonValue(record, "file_sha256"));
  for (const char* figure : {"before_grey_de_average", "before_colour_de_maximum",
                             "after_grey_de_average", "after_colour_de_maximum"})
    EXPECT_FALSE(JsonValue(record, figure).empty()) << figure;
  EXPECT_EQ(JsonValue(record, "report"), dir_.File("r.html"));

  const std::string html = dir_.Read("r.html");
  EXPECT_TRUE(Contains(html, "<p class=\"overall pass\">After the correction the display passes."));
  EXPECT_TRUE(Contains(html, "greys before the correction</text>"));
  EXPECT_TRUE(Contains(dir_.Read("r.csv"), "\nafter,yellow,255,255,0,"));
}

// A wide-gamut panel to Rec. 709 with the PR-655; a panel near Rec. 709 to DCI-P3 with the
// CA-310, which cannot show DCI-P3's red, green and the secondaries but its blue.
INSTANTIATE_TEST_SUITE_P(
    PrAndCa, VellumaCliCorrectTest,
    ::testing::Values(Correction{"PR-655", "wide-gamut.panel", "Rec.709", ""},
                      Correction{"CA-310", "near-rec709.panel", "DCI-P3",
                          "beyond the panel's reach (ΔE2000 after, not in the colours): red "}),
    [](const auto& info) {
      return std::string(info.param.instrument).substr(0, 2) +
             std::string(info.param.instrument).substr(3);
    });

// What correct cannot run stops before any device is opened, with status 2.
TEST(VellumaCliCorrectUsageTest, WhatCannotRunIsAUsageErrorBeforeAnyDevice) {
  test::TempDir dir;
  const std::string cube = dir.File("c.cube");
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"correct", "--yes"}, "--memory is needed: USER1, USER2 or USER3"},
      {{"correct", "--memory", "USER4", "--yes"}, "--memory 'USER4': the memory is USER1"},
      {{"correct", "--memory", "USER1"},
       "correct asks whether the memory is selected on the monitor's front panel"},
      {{"correct", "--memory", "USER1", "--yes", "--cube", "/dev/stdout"},
       "--cube '/dev/stdout': standard output carries the table"},
      {{"correct", "--memory", "USER1", "--yes", "--cube", cube, "--report", cube},
       "--report '" + cube + "' and --cube '" + cube + "' name the same file"},
      {{"verify", "--cube", cube}, "--cube does not belong to verify"},
  };
  for (const auto& [arguments, message] : refused) {
    const test::CliResult result =
        test::RunCli(arguments, {{"VELLUMA_SETTINGS", dir.File("Velluma.reg")},
                                 {"VELLUMA_PORTS", dir.File("no-ports")}});
    EXPECT_EQ(result.status, 2) << message;
    EXPECT_TRUE(Contains(result.err, "velluma-cli: " + message)) << result.err;
  }
}

}  // namespace
}  // namespace velluma
