#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "calibration/Station.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

class CalibrationFileProceduresTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    settings_.WriteStringSetting("AnalizerModel", "PR-655");
  }
};

TEST_F(CalibrationFileProceduresTest, SaveAndOpenRoundTripWithTheSettingAndOffsetsWritten) {
  CalibrationData data;
  data.greyLevels[9].Y = 12.5;
  data.primaries[2] = {0.15, 0.06, 5};
  seam_.HoldCalibrationData(data);
  op_.offsets[0] = "+0.0050x";
  const std::string path = dir_.File("cal.txt");
  ASSERT_TRUE(seam_.Files().WriteCalibrationFile(path));
  const std::string text = dir_.Read("cal.txt");
  EXPECT_EQ(text.substr(0, 50), "[ANALYZER]\r\nPR-655\r\n[OFFSET]\r\nx=0.0050\r\ny=0.0000\r\n");
  EXPECT_NE(text.find("\r\n9\t12.500\t0.0000\t0.0000\r\n"), std::string::npos);

  seam_.HoldCalibrationData({});
  settings_.WriteStringSetting("AnalizerModel", "CA-210");
  op_.offsets[0] = "";
  EXPECT_EQ(seam_.Files().ReadCalibrationFile(path), 1);
  EXPECT_EQ(station_.Held().calibrationReady, 1);
  EXPECT_EQ(station_.Held().calibration.greyLevels[9].Y, 12.5);
  EXPECT_EQ(station_.Held().calibration.primaries[2].Y, 5.0);
  EXPECT_EQ(settings_.ReadStringSetting("AnalizerModel"), "CA-210")
      << "[ANALYZER] is not read back";
  EXPECT_EQ(op_.offsets[0], "") << "[OFFSET] is not read back";
}

// A rejected file changes nothing: neither the data held, nor what PC -> MONITOR would send,
// nor the name Save writes to, so Save cannot replace the rejected file (or any other) by zeros.
TEST_F(CalibrationFileProceduresTest, ARejectedFileIsReportedAndChangesNothing) {
  CalibrationData held;
  held.primaries[0].Y = 7;
  held.greyLevels[255].Y = 250;
  seam_.HoldCalibrationData(held);
  ASSERT_TRUE(seam_.Files().WriteCalibrationFile(dir_.File("good.txt")));
  station_.OpenFiles({dir_.File("good.txt")});
  const std::string bad = "[COLOR]\nR 1 2 3\n[Yxy]\n0 1 2 3\n";
  dir_.Write("bad.txt", bad);

  station_.OpenFiles({dir_.File("bad.txt")});
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"INVALID DATA", "DATA ERROR", 17}}));
  EXPECT_NE(std::find(op_.calls.begin(), op_.calls.end(), "RefreshCalibrationTables"),
            op_.calls.end());
  EXPECT_EQ(station_.Held().calibrationReady, 1);
  EXPECT_EQ(station_.Held().calibration.primaries[0].Y, 7.0);
  EXPECT_EQ(station_.Held().calibrationSource, dir_.File("good.txt"));
  EXPECT_EQ(op_.status[2], dir_.File("good.txt"));

  const std::string goodBefore = dir_.Read("good.txt");
  station_.SaveFile();
  EXPECT_EQ(dir_.Read("bad.txt"), bad) << "the rejected file is never written over";
  EXPECT_EQ(dir_.Read("good.txt"), goodBefore);

  EXPECT_EQ(seam_.Files().ReadCalibrationFile(dir_.File("missing.txt")), 0);
  EXPECT_EQ(station_.Held().calibrationReady, 1) << "a file that cannot be opened changes no flag";
  EXPECT_EQ(op_.boxes.size(), 1u);
}

TEST_F(CalibrationFileProceduresTest, SaveAsksForANameOnlyForTheMarker) {
  station_.NewData();  // the marker ".txt": no name chosen yet
  EXPECT_EQ(op_.status[2], ".txt");
  op_.dialogAnswers = {dir_.File("chosen.txt")};
  station_.SaveFile();
  EXPECT_EQ(op_.dialogFilters.size(), 1u);
  EXPECT_EQ(op_.status[2], dir_.File("chosen.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("chosen.txt")));
  station_.SaveFile();
  EXPECT_EQ(op_.dialogFilters.size(), 1u) << "a named file is written without asking";
  station_.SaveFileAs();  // cancelled
  EXPECT_EQ(op_.status[2], dir_.File("chosen.txt"));
}

TEST_F(CalibrationFileProceduresTest, AFailedSaveIsReportedWithItsFileName) {
  const std::string path = dir_.File("missing-folder/cal.txt");
  EXPECT_FALSE(seam_.Files().WriteCalibrationFile(path));
  EXPECT_EQ(
      op_.boxes,
      (std::vector<Box>{{"Cannot save the calibration data to \"" + path + "\"", "Save", 16}}));
}

}  // namespace
}  // namespace velluma
