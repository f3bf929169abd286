// The private copy of the settings goes with the run however it ends. (That the overrides never
// reach a settings file, and that the copy is gone after every run, VellumaCliTest checks.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "cli/PrivateSettings.h"
#include "tests/support/TempDir.h"

namespace velluma::cli {
namespace {

class PrivateSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.File("tmp"));
    ::setenv("TMPDIR", dir.File("tmp").c_str(), 1);
  }
  void TearDown() override { ::unsetenv("TMPDIR"); }
  bool TmpIsEmpty() const { return std::filesystem::is_empty(dir.File("tmp")); }

  test::TempDir dir;
};

TEST_F(PrivateSettingsTest, ACopyThatFailsLeavesNothingBehind) {
  std::filesystem::create_directory(dir.File("folder.reg"));
  ::mkfifo(dir.File("fifo.reg").c_str(), 0600);
  for (const char* name : {"folder.reg", "fifo.reg"}) {
    try {
      PrivateSettings settings(dir.File(name), {});
      ADD_FAILURE() << name << " was copied";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(dir.File(name)), std::string::npos) << error.what();
    }
    EXPECT_TRUE(TmpIsEmpty());
  }
}

TEST_F(PrivateSettingsTest, ATerminatingSignalTakesTheCopyWithIt) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PrivateSettings settings(dir.File("none.reg"), {});
    std::raise(SIGTERM);
    std::_Exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
      << "the signal still ends the run";
  EXPECT_TRUE(TmpIsEmpty());
}

}  // namespace
}  // namespace velluma::cli
