// Open on every tab with files no operator means to give: a FIFO without a writer, /dev/zero, a
// folder, and 2 GiB files (sparse, so nothing is written) of NUL bytes with and without a
// header. Each ends with its documented outcome, in bounded CPU time and memory, without
// blocking.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "calibration/Station.h"
#include "lut/LUTFileError.h"
#include "tests/support/ResourceProbe.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

constexpr long long kHugeBytes = 2LL << 30;
constexpr double kCpuSecondsBound = 1.0;
constexpr long long kGrowthBoundKiB = 64 * 1024;

// What an Open ended in.
enum Outcome { Nothing = 0, InvalidData = 1, FileError = 2 };

struct Tab {
  const char* name;
  int tab;
  int directTable;      // the "LUTFile" setting
  const char* lutType;  // the "LutFileType" setting
  const char* header;   // what a file of this kind begins with
  Outcome cannotOpen;   // the outcome for a FIFO, a device, a folder
};

const Tab kTabs[] = {
    {"calibration", Operator::kCalibrationTab, 0, "Davinci Resolve", "[COLOR]\n", Nothing},
    {"Baselight", Operator::kLookUpTableTab, 0, "Baselight", "# width 255 255 255\n\n# Cube\n",
     InvalidData},
    {"DaVinci", Operator::kLookUpTableTab, 0, "Davinci Resolve", "LUT_3D_SIZE 255\n", InvalidData},
    {"direct table", Operator::kLookUpTableTab, 1, "Davinci Resolve", "1,2,3\n", FileError},
    {"film gamma", Operator::kFilmGammaTab, 0, "Davinci Resolve", "1\n7\n0\n", Nothing},
};

// A file of `bytes` that holds `header` and then NUL bytes, made without writing them.
void MakeSparse(const std::string& path, const std::string& header, long long bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, header.data(), header.size()), static_cast<ssize_t>(header.size()));
  ASSERT_EQ(::ftruncate(fd, bytes), 0);
  ::close(fd);
}

class HostileFilesTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    ::mkfifo(dir_.File("fifo").c_str(), 0600);
    std::filesystem::create_directory(dir_.File("folder"));
  }

  Outcome Open(const Tab& tab, const std::string& path) {
    settings_.WriteIntSetting("LUTFile", tab.directTable);
    settings_.WriteStringSetting("LutFileType", tab.lutType);
    op_.activeTab = tab.tab;
    op_.boxes.clear();
    op_.dialogAnswers = {path};
    try {
      station_.OpenFile();
    } catch (const LUTFileError&) {
      return FileError;
    }
    if (op_.boxes.empty()) return Nothing;
    return op_.boxes == std::vector<test::ScriptedOperator::Box>{{"INVALID DATA", "DATA ERROR", 17}}
               ? InvalidData
               : Outcome(-1);
  }

  void ExpectBounded(const Tab& tab, const std::string& path, Outcome expected) {
    const test::ProbeResult run = test::Probe([&] { return Open(tab, path); }, 30);
    const std::string what = std::string(tab.name) + " " + path;
    ASSERT_TRUE(run.finished) << what << ": blocked or crashed";
    EXPECT_EQ(run.value, expected) << what;
    EXPECT_LT(run.cpuSeconds, kCpuSecondsBound) << what;
    EXPECT_LT(run.peakGrowthKiB, kGrowthBoundKiB) << what;
  }
};

TEST_F(HostileFilesTest, WhatIsNotARegularFileIsNotOpenedAndNothingBlocks) {
  for (const Tab& tab : kTabs)
    for (const std::string& path :
         {dir_.File("fifo"), std::string("/dev/zero"), dir_.File("folder")})
      ExpectBounded(tab, path, tab.cannotOpen);
}

TEST_F(HostileFilesTest, TwoGigabytesOfNulBytesAreRejectedQuicklyInLittleMemory) {
  for (const Tab& tab : kTabs) {
    MakeSparse(dir_.File("nul"), "", kHugeBytes);
    ExpectBounded(tab, dir_.File("nul"), InvalidData);
    MakeSparse(dir_.File("headed"), tab.header, kHugeBytes);
    ExpectBounded(tab, dir_.File("headed"), InvalidData);
  }
}

}  // namespace
}  // namespace velluma
