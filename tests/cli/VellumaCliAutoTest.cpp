// velluma-cli auto against the bench with every instrument kind: the same file and the same
// monitor contents as the window's AUTO (Station::RunAuto) on an identical bench, and
// the exit status following the report.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "calibration/Station.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationSeam.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::CliResult;

const std::vector<std::string> kBenchOptions = {"--reply-delay", "10", "--pr655-measure-ms", "2",
                                                "--pr655-quiet-wake"};
// A little noise, seeded: two benches draw the same numbers only when both runs measure the same
// patches in the same order.
const std::vector<std::string> kSeededNoise = {
    "--reply-delay", "10", "--pr655-measure-ms", "2", "--pr655-quiet-wake", "--noise", "0.0002",
    "--seed",        "7"};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class VellumaCliAutoTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(dir_.File("tmp")); }
  void TearDown() override {
    EXPECT_FALSE(std::filesystem::exists(dir_.File("Velluma.reg")));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.File("tmp")));
  }

  std::map<std::string, std::string> Environment(const BenchProcess& bench) const {
    return {{"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
            {"VELLUMA_CLOCK_SCALE", "0.02"},
            {"TMPDIR", dir_.File("tmp")},
            {"VELLUMA_PORTS", bench.PortsDir()},
            {"VELLUMA_BENCH_SOCKET", bench.SocketPath()},
            {"VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH},
            {"VELLUMA_EYEONE", VELLUMA_EYEONE_PATH}};
  }

  std::unique_ptr<test::CliProcess> StartAuto(const BenchProcess& bench, const std::string& model,
                                              const std::string& save,
                                              std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"auto", "--save",          save,  "--analyzer",
                                          model,  "--analyzer-port", "COM2"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return std::make_unique<test::CliProcess>(arguments, Environment(bench));
  }

  CliResult RunAuto(const std::vector<std::string>& benchOptions, const std::string& model,
                    std::vector<std::string> extra = {}) {
    std::vector<std::string> options = kBenchOptions;
    options.insert(options.end(), benchOptions.begin(), benchOptions.end());
    bench_ = std::make_unique<BenchProcess>(options);
    return StartAuto(*bench_, model, dir_.File("auto.txt"), extra)->Wait();
  }

  test::TempDir dir_;
  std::unique_ptr<BenchProcess> bench_;
};

// The window's AUTO in this process, as BenchInstrumentsTest runs it, with the offsets the
// command line gives.
void RunWindowsAuto(const BenchProcess& bench, const std::string& model, const std::string& save,
                    const test::TempDir& dir) {
  ::setenv("VELLUMA_BENCH_SOCKET", bench.SocketPath().c_str(), 1);
  ::setenv("VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH, 1);
  ::setenv("VELLUMA_EYEONE", VELLUMA_EYEONE_PATH, 1);
  SettingsStore settings(dir.File("window.reg"));
  settings.LoadSettings(setting::kAll);
  settings.WriteStringSetting("MonitorPort", bench.MonitorDevice());
  settings.WriteStringSetting("AnalizerPort", bench.Pr655Device());
  settings.WriteStringSetting("AnalizerModel", model);
  VirtualClock clock;
  test::ScriptedOperator op;
  op.answers = {Operator::kAnswerYes, Operator::kAnswerYes};
  op.dialogAnswers = {save};
  op.offsets[0] = "+0.0015";
  op.offsets[1] = "-0.0005";
  CaServer caServer;
  Station station(op, settings, clock);
  test::StationSeam(station).DeviceSet().UseCaServer(caServer);
  station.OpenDevices();
  station.RunAuto();
  station.CloseDevices();
  for (const char* name : {"VELLUMA_BENCH_SOCKET", "VELLUMA_CA_SERVER", "VELLUMA_EYEONE"})
    ::unsetenv(name);
}

class SameAsTheWindowTest : public VellumaCliAutoTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(SameAsTheWindowTest, WritesTheWindowsFileAndTheMonitorHoldsTheSame) {
  const std::string model = GetParam();
  BenchProcess forCli(kSeededNoise), forWindow(kSeededNoise);
  // Both at once, on two benches: the command line as a child process, the window's AUTO here.
  auto cli = StartAuto(forCli, model, dir_.File("cli.txt"),
                       {"--yes", "--offset-x", "0.0015", "--offset-y", "-0.0005"});
  RunWindowsAuto(forWindow, model, dir_.File("window.txt"), dir_);
  const CliResult result = cli->Wait();

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Auto\t\tComplete.\nMaxBright\t\t 2", 0), 0u) << result.out;
  ASSERT_FALSE(dir_.Read("window.txt").empty());
  EXPECT_EQ(dir_.Read("cli.txt"), dir_.Read("window.txt"));
  EXPECT_TRUE(Contains(dir_.Read("cli.txt"), "[OFFSET]\r\nx=0.0015\r\ny=-0.0005\r\n"));
  auto cliState = forCli.State(), windowState = forWindow.State();
  for (const char* key : {"primaries", "grey0", "grey1", "grey2", "zbl"}) {
    EXPECT_NE(cliState[key], "none") << key;
    EXPECT_EQ(cliState[key], windowState[key]) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryInstrument, SameAsTheWindowTest,
                         ::testing::Values("PR-655", "CA-310", "i1-Pro"), [](const auto& info) {
                           std::string name = info.param;
                           std::erase(name, '-');
                           return name;
                         });

TEST_F(VellumaCliAutoTest, TintedGreysReportNgAndEndWithStatus1) {
  const CliResult result = RunAuto({"--tint-x", "0.05"}, "CA-310");
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(result.out.rfind("Auto\t\tNG\n RGBch\t\tNG\nMaxBright\t\t", 0), 0u) << result.out;
  EXPECT_FALSE(Contains(result.err, "Auto\t\t")) << "the report goes to standard output only";
  EXPECT_TRUE(std::filesystem::exists(dir_.File("auto.txt"))) << "AUTO saves before it checks";
}

TEST_F(VellumaCliAutoTest, ADimPanelStopsAtMaxBrightWithStatus1) {
  const CliResult result = RunAuto({"--white", "200"}, "CA-310");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "") << "no report";
  EXPECT_EQ(result.err, "MaxBright: QX-7MR520\nMaxBright\t 200\tNG\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("auto.txt")));
}

TEST_F(VellumaCliAutoTest, AMeasurementThatFailsIsAnErrorThoughTheReportSaysNg) {
  const CliResult result = RunAuto({"--fault", "OUT silent from 20"}, "CA-310");
  EXPECT_EQ(result.status, 2);
  EXPECT_TRUE(Contains(result.err, "Measurement: Monitor: Communication Error\n")) << result.err;
  EXPECT_EQ(result.out.rfind("Auto\t\tNG", 0), 0u) << result.out;
}

TEST_F(VellumaCliAutoTest, AnotherMonitorAbortsWithStatus2) {
  const CliResult result = RunAuto({"--model", "QX-9"}, "PR-655");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Auto: monitor: QX-9\n");
  EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace velluma
