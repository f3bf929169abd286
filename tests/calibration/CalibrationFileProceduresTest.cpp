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
    settings.WriteStringSetting("AnalizerModel", "PR-655");
  }
};

TEST_F(CalibrationFileProceduresTest, SaveAndOpenRoundTripWithTheSettingAndOffsetsWritten) {
  CalibrationData data;
  data.greyLevels[9].Y = 12.5;
  data.primaries[2] = {0.15, 0.06, 5};
  seam.HoldCalibrationData(data);
  op.offsets[0] = "+0.0050x";
  const std::string path = dir.File("cal.txt");
  ASSERT_TRUE(seam.Files().WriteCalibrationFile(path));
  const std::string text = dir.Read("cal.txt");
  EXPECT_EQ(text.substr(0, 50), "[ANALYZER]\r\nPR-655\r\n[OFFSET]\r\nx=0.0050\r\ny=0.0000\r\n");
  EXPECT_NE(text.find("\r\n9\t12.500\t0.0000\t0.0000\r\n"), std::string::npos);

  seam.HoldCalibrationData({});
  settings.WriteStringSetting("AnalizerModel", "CA-210");
  op.offsets[0] = "";
  EXPECT_EQ(seam.Files().ReadCalibrationFile(path), 1);
  EXPECT_EQ(station.Held().calibrationReady, 1);
  EXPECT_EQ(station.Held().calibration.greyLevels[9].Y, 12.5);
  EXPECT_EQ(station.Held().calibration.primaries[2].Y, 5.0);
  EXPECT_EQ(settings.ReadStringSetting("AnalizerModel"), "CA-210") << "[ANALYZER] is not read back";
  EXPECT_EQ(op.offsets[0], "") << "[OFFSET] is not read back";
}

// A rejected file changes nothing: neither the data held, nor what PC -> MONITOR would send,
// nor the name Save writes to, so Save cannot replace the rejected file (or any other) by zeros.
TEST_F(CalibrationFileProceduresTest, ARejectedFileIsReportedAndChangesNothing) {
  CalibrationData held;
  held.primaries[0].Y = 7;
  held.greyLevels[255].Y = 250;
  seam.HoldCalibrationData(held);
  ASSERT_TRUE(seam.Files().WriteCalibrationFile(dir.File("good.txt")));
  station.OpenFiles({dir.File("good.txt")});
  const std::string bad = "[COLOR]\nR 1 2 3\n[Yxy]\n0 1 2 3\n";
  dir.Write("bad.txt", bad);

  station.OpenFiles({dir.File("bad.txt")});
  EXPECT_EQ(op.boxes, (std::vector<Box>{{"INVALID DATA", "DATA ERROR", 17}}));
  EXPECT_NE(std::find(op.calls.begin(), op.calls.end(), "RefreshCalibrationTables"),
            op.calls.end());
  EXPECT_EQ(station.Held().calibrationReady, 1);
  EXPECT_EQ(station.Held().calibration.primaries[0].Y, 7.0);
  EXPECT_EQ(station.Held().calibrationSource, dir.File("good.txt"));
  EXPECT_EQ(op.status[2], dir.File("good.txt"));

  const std::string goodBefore = dir.Read("good.txt");
  station.SaveFile();
  EXPECT_EQ(dir.Read("bad.txt"), bad) << "the rejected file is never written over";
  EXPECT_EQ(dir.Read("good.txt"), goodBefore);

  EXPECT_EQ(seam.Files().ReadCalibrationFile(dir.File("missing.txt")), 0);
  EXPECT_EQ(station.Held().calibrationReady, 1) << "a file that cannot be opened changes no flag";
  EXPECT_EQ(op.boxes.size(), 1u);
}

TEST_F(CalibrationFileProceduresTest, SaveAsksForANameOnlyForTheMarker) {
  station.NewData();  // the marker ".txt": no name chosen yet
  EXPECT_EQ(op.status[2], ".txt");
  op.dialogAnswers = {dir.File("chosen.txt")};
  station.SaveFile();
  EXPECT_EQ(op.dialogFilters.size(), 1u);
  EXPECT_EQ(op.status[2], dir.File("chosen.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir.File("chosen.txt")));
  station.SaveFile();
  EXPECT_EQ(op.dialogFilters.size(), 1u) << "a named file is written without asking";
  station.SaveFileAs();  // cancelled
  EXPECT_EQ(op.status[2], dir.File("chosen.txt"));
}

TEST_F(CalibrationFileProceduresTest, AFailedSaveIsReportedWithItsFileName) {
  const std::string path = dir.File("missing-folder/cal.txt");
  EXPECT_FALSE(seam.Files().WriteCalibrationFile(path));
  EXPECT_EQ(
      op.boxes,
      (std::vector<Box>{{"Cannot save the calibration data to \"" + path + "\"", "Save", 16}}));
}

}  // namespace
}  // namespace velluma
