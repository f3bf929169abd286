#include <gtest/gtest.h>

#include <algorithm>

#include "calibration/Station.h"
#include "lut/LUTFileError.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using Box = test::ScriptedOperator::Box;

std::string IdentityCube() {
  std::string text = "LUT_3D_SIZE 2\n";
  for (int b = 0; b < 2; ++b)
    for (int g = 0; g < 2; ++g)
      for (int r = 0; r < 2; ++r)
        text += std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + "\n";
  return text;
}

std::string FilmGamma() {
  std::string text = "1\n7\n0\n1\n1\n0\n1\n0\n0\n";
  for (int i = 0; i < 1024; ++i) text += std::to_string(i) + "\n";
  return text;
}

class TableFileProceduresTest : public test::StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    dir_.Write("identity.cube", IdentityCube());
    dir_.Write("gamma.csv", FilmGamma());
    dir_.Write("broken.cube", "LUT_3D_SIZE 2\n0 0 0\n");
  }
};

TEST_F(TableFileProceduresTest, TheOpenFilterFollowsTheTabAndTheSettings) {
  struct Case {
    int tab;
    int lutFile;
    const char* type;
    const char* filter;
  } cases[] = {
      {Operator::kCalibrationTab, 0, "Baselight", "text File (*.txt)|*.txt|All Files(*.*)|*.*"},
      {Operator::kLookUpTableTab, 0, "Davinci Resolve",
       "Davinci File (*.cube)|*.cube|All Files(*.*)|*.*"},
      {Operator::kLookUpTableTab, 0, "Baselight",
       "Baselight File (*.cub)|*.cub|All Files(*.*)|*.*"},
      {Operator::kLookUpTableTab, 1, "Baselight", "CSV File (*.csv)|*.csv*|All Files(*.*)|*.*"},
      {Operator::kFilmGammaTab, 0, "Baselight", "CSV File (*.csv)|*.csv*|All Files(*.*)|*.*"},
  };
  for (const Case& c : cases) {
    op_.activeTab = c.tab;
    settings_.WriteIntSetting("LUTFile", c.lutFile);
    settings_.WriteStringSetting("LutFileType", c.type);
    station_.OpenFile();  // cancelled: nothing changes
    EXPECT_EQ(op_.dialogFilters.back(), c.filter);
  }
  EXPECT_EQ(op_.status[2], "");
}

TEST_F(TableFileProceduresTest, ALutLoadsIntoTheSelectedMemoryOnly) {
  settings_.WriteStringSetting("LutFileType", "Davinci Resolve");
  op_.activeTab = Operator::kLookUpTableTab;
  op_.lutMemory = 1;
  UserMemoryTables::LutTable user1{};
  user1[0][5] = 9;
  seam_.HoldLut(0, user1);
  op_.dialogAnswers = {dir_.File("identity.cube")};
  station_.OpenFile();
  EXPECT_EQ(op_.status[2], dir_.File("identity.cube"));
  EXPECT_EQ(station_.Held().lutLoaded, (std::array<bool, 3>{true, true, false}))
      << "USER1 was held before";
  EXPECT_EQ(station_.Held().tables.lutTables[1][0][1], 68);
  EXPECT_EQ(station_.Held().tables.lutTables[1][2][4095], 1023);
  EXPECT_EQ(station_.Held().tables.lutTables[0][0][5], 9);
  EXPECT_EQ(op_.calls.back(), "RefreshLutTable");
}

TEST_F(TableFileProceduresTest, AFailingLutLoadIntoUser3IsReportedOnceAndZeroesOnlyUser3) {
  settings_.WriteStringSetting("LutFileType", "Davinci Resolve");
  op_.activeTab = Operator::kLookUpTableTab;
  UserMemoryTables::LutTable sevens{};
  sevens[1].fill(7);
  for (int memory = 0; memory < 3; ++memory) seam_.HoldLut(memory, sevens);
  op_.lutMemory = 2;
  station_.OpenFiles({dir_.File("broken.cube")});
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"INVALID DATA", "DATA ERROR", 17}}));
  EXPECT_EQ(station_.Held().tables.lutTables[2][1][100], 0);
  EXPECT_EQ(station_.Held().tables.lutTables[0][1][100], 7);
  EXPECT_EQ(station_.Held().tables.lutTables[1][1][100], 7);
  EXPECT_EQ(station_.Held().lutLoaded, (std::array<bool, 3>{true, true, false}));
}

TEST_F(TableFileProceduresTest, ADirectTableThatCannotBeOpenedEscapesWithTheFileError) {
  settings_.WriteIntSetting("LUTFile", 1);
  op_.activeTab = Operator::kLookUpTableTab;
  seam_.HoldLut(1, {});
  op_.lutMemory = 1;
  try {
    station_.OpenFiles({dir_.File("missing.csv")});
    FAIL() << "the file error must escape";
  } catch (const LUTFileError& error) {
    EXPECT_EQ(std::string(error.what())
                  .rfind("Cannot open file \"" + dir_.File("missing.csv") + "\". ", 0),
              0u);
  }
  EXPECT_EQ(station_.Held().lutLoaded[1], 1);
  EXPECT_TRUE(op_.boxes.empty());
}

TEST_F(TableFileProceduresTest, AFileIsReadByTheActiveTabWhateverItsName) {
  op_.activeTab = Operator::kCalibrationTab;
  CalibrationData held;
  held.primaries[0].Y = 5;
  seam_.HoldCalibrationData(held);
  const std::string nameBefore = op_.status[2];
  station_.OpenFiles({dir_.File("identity.cube"), dir_.File("gamma.csv"), dir_.File("other.txt")});
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"INVALID DATA", "DATA ERROR", 17}}))
      << "only the first of three, read as a calibration data file";
  EXPECT_EQ(op_.status[2], nameBefore) << "a rejected file does not become the file name";
  EXPECT_EQ(station_.Held().calibration.primaries[0].Y, 5.0) << "nor replaces the data held";
  EXPECT_NE(std::find(op_.calls.begin(), op_.calls.end(), "RefreshCalibrationTables"),
            op_.calls.end());
}

TEST_F(TableFileProceduresTest, FilmGammaLoadsAndRejections) {
  op_.activeTab = Operator::kFilmGammaTab;
  op_.filmGammaMemory = 1;
  station_.OpenFiles({dir_.File("gamma.csv")});
  EXPECT_EQ(station_.Held().filmGammaLoaded, (std::array<bool, 3>{false, true, false}));
  EXPECT_EQ(station_.Held().tables.filmGammaTables[1][1023], 1023);
  EXPECT_EQ(op_.calls.back(), "RefreshFilmGammaTable");

  dir_.Write("bad.csv", "1\n7\n1\n1\n1\n0\n1\n0\n0\n");
  station_.OpenFiles({dir_.File("bad.csv")});
  EXPECT_EQ(op_.boxes, (std::vector<Box>{{"INVALID DATA", "DATA ERROR", 17}}));
  EXPECT_EQ(station_.Held().filmGammaLoaded[1], 0);
  EXPECT_EQ(station_.Held().tables.filmGammaTables[1][1023], 0);

  EXPECT_EQ(seam_.Files().ReadFilmGammaFile(dir_.File("missing.csv")), -1);
  EXPECT_EQ(op_.boxes.size(), 1u) << "a file that cannot be opened is not reported";
}

}  // namespace
}  // namespace velluma
