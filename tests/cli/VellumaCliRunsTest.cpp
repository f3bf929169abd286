// Runs of velluma-cli as operators start and end them against the bench over its ptys: one run
// per port for every user, and a run ended by a signal (or killed outright) leaving the monitor
// and the instrument usable for the next.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/cli/CliProcess.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace velluma {
namespace {

using Args = std::vector<std::string>;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The identity as a two-point cube: the monitor's entry (r, g, b) holds round(k / 15 * 1023).
const std::string kIdentityCube =
    "LUT_3D_SIZE 2\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n0 0 1\n1 0 1\n0 1 1\n1 1 1\n";

std::string IdentityChannel(int channel) {
  std::string codes;
  for (int entry = 0; entry < 4096; ++entry) {
    const int k = channel == 0 ? entry % 16 : channel == 1 ? entry / 16 % 16 : entry / 256;
    codes += (entry ? " " : "") + std::to_string(k * 1023 / 15 + (k * 1023 % 15 * 2 >= 15));
  }
  return codes;
}

class VellumaCliRunsTest : public ::testing::Test {
 protected:
  // A LUT chunk that goes unanswered holds a transfer in its read time-out (2 s at least, in real
  // time): long enough for the test to act while the run is surely inside it.
  void StartBench(Args options = {}) {
    options.insert(options.end(),
                   {"--reply-delay", "10", "--fault", "C$M:WF silent from 5 times 1"});
    bench_ = std::make_unique<BenchProcess>(options);
    dir_.Write("identity.cube", kIdentityCube);
    std::filesystem::create_directory(dir_.File("tmp"));
  }

  std::map<std::string, std::string> Environment() const {
    return {{"VELLUMA_SETTINGS", dir_.File("Velluma.reg")},
            {"VELLUMA_CLOCK_SCALE", "0.02"},
            {"TMPDIR", dir_.File("tmp")},
            {"XDG_STATE_HOME", dir_.File("state")},
            {"VELLUMA_PORTS", bench_->PortsDir()},
            {"VELLUMA_BENCH_SOCKET", bench_->SocketPath()},
            {"VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH}};
  }

  Args SendLut(const std::string& speed) const {
    return {"send-lut", dir_.File("identity.cube"), "--memory", "USER2", "--format",
            "davinci",  "--monitor-speed",          speed};
  }

  // Waits (generously, in real time) until the monitor has received `count` frames starting with
  // `prefix`.
  void AwaitFrames(const std::string& prefix, long count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
      const auto log = bench_->Log();
      if (std::count_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.rfind(prefix, 0) == 0;
          }) >= count)
        return;
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the run never sent " << prefix;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  // The note a fast transfer leaves for the monitor's device: "/dev/pts/7" → "dev_pts_7.speed".
  std::string NoteFile() const {
    std::string device = std::filesystem::canonical(bench_->MonitorDevice()).string().substr(1);
    std::replace(device.begin(), device.end(), '/', '_');
    return dir_.File("state") + "/Quillem/Velluma/" + device + ".speed";
  }

  test::TempDir dir_;
  std::unique_ptr<BenchProcess> bench_;
};

TEST_F(VellumaCliRunsTest, ASecondRunOnABusyPortStopsAtOnceAndTheFirstGoesOnUndisturbed) {
  StartBench();
  test::CliProcess first(SendLut("9600"), Environment());
  AwaitFrames("C$M:WF", 5);
  const test::CliResult second = test::RunCli({"query"}, Environment());
  const std::string device = std::filesystem::canonical(bench_->MonitorDevice()).string();
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "COM1 (" + device + ") is in use by process " +
                            std::to_string(first.Pid()) + " (velluma-cli)\n");

  const test::CliResult result = first.Wait();
  EXPECT_EQ(result.status, 0) << result.err;
  auto state = bench_->State();
  for (int channel = 0; channel < 3; ++channel)
    EXPECT_EQ(state["lut.USER2." + std::to_string(channel)], IdentityChannel(channel)) << channel;
  EXPECT_EQ(state["frames"], std::to_string(48 + 1)) << "the second run sent nothing";
}

// A pty whose other end stays open keeps a terminal's exclusive mode after the run that set it:
// a user who is not root could then never open it again.
TEST_F(VellumaCliRunsTest, APortIsFreeAgainForAnotherUserAfterARun) {
  StartBench();
  ASSERT_EQ(test::RunCli({"query"}, Environment()).status, 0);
  for (const std::filesystem::path& path :
       {std::filesystem::path(bench_->PortsDir()),
        std::filesystem::path(bench_->PortsDir()).parent_path()})
    ::chmod(path.c_str(), 0755);
  ::chmod(std::filesystem::canonical(bench_->MonitorDevice()).c_str(), 0666);
  auto environment = Environment();
  environment["VELLUMA_SETTINGS"] = dir_.File("user/Velluma.reg");
  environment["TMPDIR"] = environment["XDG_STATE_HOME"] = environment["HOME"] = dir_.File("user");
  std::filesystem::create_directory(dir_.File("user"));
  ::chmod(dir_.Path().c_str(), 0755);
  EXPECT_TRUE(test::RunUnprivileged(dir_.File("user"), [&] {
    const test::CliResult result = test::RunCli({"query"}, environment);
    return result.status == 0 && result.out == "QX-7MR520\n";
  }));
}

// Each terminating signal during a LUT transfer at 115200: the frame in flight is finished, the
// monitor is sent back to 9600, the run is recorded as stopped and the process ends by the signal.
TEST_F(VellumaCliRunsTest, ASignalDuringAFastTransferLeavesTheMonitorAt9600) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    StartBench();
    auto environment = Environment();
    environment["VELLUMA_HISTORY"] = dir_.File("history.db");
    test::CliProcess run(SendLut("115200"), environment);
    AwaitFrames("C$M:WF", 5);
    run.Signal(signal);
    const test::CliResult result = run.Wait();
    EXPECT_EQ(result.signal, signal) << result.err;
    const std::string name = "SIG" + std::string(sigabbrev_np(signal));
    EXPECT_TRUE(Contains(result.err, "PC->MONITOR stopped by " + name +
                                         ": the transfer is incomplete; send it "
                                         "again\n"))
        << result.err;
    const auto log = bench_->Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "speed9600");
    EXPECT_LE(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.rfind("C$M:WF", 0) == 0; }),
              6)
        << "it stops after the chunk in flight (sent twice, the first time unanswered)";
    EXPECT_EQ(bench_->State()["speed"], "9600");
    EXPECT_FALSE(std::filesystem::exists(NoteFile()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.File("tmp"))) << "the private settings are gone";

    const test::CliResult history = test::RunCli({"history", "--json"}, environment);
    EXPECT_TRUE(Contains(history.out, "\"outcome\":\"Stopped by " + name + "\",\"result\":2"))
        << history.out;
    EXPECT_EQ(test::RunCli({"query"}, Environment()).status, 0) << "the next run finds the monitor";
    std::filesystem::remove(dir_.File("history.db"));
  }
}

// A run killed outright cannot tidy up: its note tells the next run on the port to send the
// monitor back from the fast speed, once.
TEST_F(VellumaCliRunsTest, AfterARunKilledInAFastTransferTheNextRunBringsTheMonitorBack) {
  StartBench();
  test::CliProcess run(SendLut("115200"), Environment());
  AwaitFrames("C$M:WF", 5);
  run.Signal(SIGKILL);
  EXPECT_EQ(run.Wait().signal, SIGKILL);
  EXPECT_EQ(bench_->State()["speed"], "115200");
  ASSERT_TRUE(std::filesystem::exists(NoteFile()));

  const test::CliResult next = test::RunCli({"query"}, Environment());
  EXPECT_EQ(next.status, 0) << next.err;
  EXPECT_EQ(next.out, "QX-7MR520\n");
  const std::string device = std::filesystem::canonical(bench_->MonitorDevice()).string();
  EXPECT_TRUE(Contains(next.err,
                       ": the monitor was left at 115200 bit/s by a run that ended "
                       "during a LUT transfer; it was sent back to 9600 bit/s\n"))
      << next.err;
  EXPECT_FALSE(std::filesystem::exists(NoteFile()));
  EXPECT_EQ(bench_->State()["speed"], "9600");
  EXPECT_EQ(test::RunCli({"query"}, Environment()).err, "") << "said once";
}

// AUTO stopped in its grey ramp: the instrument leaves remote mode, the screen goes black, the
// panel back to its normal brightness, and no file is saved.
TEST_F(VellumaCliRunsTest, AnInterruptedAutoLeavesTheMonitorAndTheInstrumentAsAFailureDoes) {
  StartBench();
  test::CliProcess run({"auto", "--save", dir_.File("run.txt"), "--analyzer", "CA-310"},
                       Environment());
  AwaitFrames("OUT", 12);
  run.Interrupt();
  const test::CliResult result = run.Wait();
  EXPECT_EQ(result.signal, SIGINT) << result.err;
  EXPECT_TRUE(Contains(result.err, "Abort: Auto Calibration Abort\n")) << result.err;
  EXPECT_TRUE(Contains(result.err, "Auto Calibration stopped by SIGINT, nothing saved\n"))
      << result.err;
  auto state = bench_->State();
  EXPECT_EQ(state["pattern"], "0 0 0");
  EXPECT_EQ(state["zbl"], "100");
  EXPECT_EQ(state["ca.remote"], "0");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("run.txt")));
}

}  // namespace
}  // namespace velluma
