// The private copy of the settings goes with the run however it ends. (That the overrides never
// reach a settings file, and that the copy is gone after every run, VellumaCliTest checks.)
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "calibration/StationSettings.h"
#include "cli/PrivateSettings.h"
#include "platform/SettingsKey.h"
#include "tests/support/Environment.h"
#include "tests/support/TempDir.h"

namespace velluma::cli {
namespace {

// Where the system puts temporary files: $TMPDIR on POSIX, %TMP% (then %TEMP%) on Windows.
#ifdef _WIN32
constexpr const char* kTemporaryFolderVariables[] = {"TMP", "TEMP"};
#else
constexpr const char* kTemporaryFolderVariables[] = {"TMPDIR"};
#endif

class PrivateSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_.File("tmp"));
    for (const char* name : kTemporaryFolderVariables)
      test::SetEnvironment(name, dir_.File("tmp").c_str());
  }
  void TearDown() override {
    for (const char* name : kTemporaryFolderVariables) test::UnsetEnvironment(name);
  }
  bool TmpIsEmpty() const { return std::filesystem::is_empty(dir_.File("tmp")); }

  test::TempDir dir_;
};

TEST_F(PrivateSettingsTest, ACopyThatFailsLeavesNothingBehind) {
  std::filesystem::create_directory(dir_.File("folder.reg"));
#ifdef _WIN32
  const char* device = "NUL";  // a device by its DOS name, which every folder has
#else
  const char* device = "fifo.reg";
  ::mkfifo(dir_.File(device).c_str(), 0600);
#endif
  for (const char* name : {"folder.reg", device}) {
    try {
      PrivateSettings settings(dir_.File(name), {});
      ADD_FAILURE() << name << " was copied";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(dir_.File(name)), std::string::npos) << error.what();
    }
    EXPECT_TRUE(TmpIsEmpty());
  }
}

#ifdef _WIN32
// Windows: the run's copy starts from the machine's registry key, and the run's options stay in
// the copy: the key is only read.
TEST_F(PrivateSettingsTest, TheMachinesSettingsAreCopiedAndTheKeyIsNeverWritten) {
  SettingsStore machine(kMachineSettingsKey);
  machine.LoadSettings(setting::kAll);
  machine.WriteStringSetting("AnalizerModel", "PR-655");
  {
    PrivateSettings run(kMachineSettingsKey,
                        {{"MonitorPort", std::string("COM7")}, {"MonitorSpeed", 38400}});
    EXPECT_EQ(run.Store().ReadStringSetting("AnalizerModel"), "PR-655");
    EXPECT_EQ(run.Store().ReadStringSetting("MonitorPort"), "COM7");
    EXPECT_EQ(run.Store().ReadIntSetting("MonitorSpeed"), 38400);
    EXPECT_FALSE(TmpIsEmpty()) << "the copy is a file in %TMP%";
  }
  EXPECT_EQ(machine.ReadStringSetting("MonitorPort"), "COM1");
  EXPECT_EQ(machine.ReadIntSetting("MonitorSpeed"), 9600);
  EXPECT_TRUE(TmpIsEmpty());
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quillem\\Velluma");
}
// Ctrl+C's twin on Windows (platform/InterruptCleanupWin32.cpp) is not run: Wine gives a
// program started without a console no console control events (GenerateConsoleCtrlEvent fails).
#else
TEST_F(PrivateSettingsTest, ATerminatingSignalTakesTheCopyWithIt) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PrivateSettings settings(dir_.File("none.reg"), {});
    std::raise(SIGTERM);
    std::_Exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
      << "the signal still ends the run";
  EXPECT_TRUE(TmpIsEmpty());
}
#endif

}  // namespace
}  // namespace velluma::cli
