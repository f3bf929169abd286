// The window's tables, offscreen: the calibration tables, the LUT and the film-gamma table with
// its curve, what the operator types into them, and numbers under a decimal-comma locale.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <clocale>

#include "app/ChartView.h"
#include "app/MainWindow.h"
#include "tests/app/WindowRig.h"
#include "tests/support/CpuTime.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/StationSeam.h"

namespace velluma {
namespace {

using test::Cell;
using test::Named;
using test::OperatorOf;

class WindowTablesTest : public ::testing::Test, protected test::WindowRig {
 protected:
  static QAbstractItemModel* Model(MainWindow& window, const char* grid) {
    return Named<QTableView>(window, grid)->model();
  }

  // The curve on the Film Gamma tab, shown for it.
  static QList<QPointF> FilmGammaCurve(MainWindow& window) {
    window.show();
    Named<QTabWidget>(window, "functionTabs")->setCurrentIndex(Operator::kFilmGammaTab);
    return Named<ChartView>(window, "filmGammaChart")->Data().series.front().points;
  }
};

TEST_F(WindowTablesTest, GridsHaveTheirSizesAndHeadersAndRefreshQuickly) {
  auto window = Start();
  EXPECT_EQ(Model(*window, "greyLevelTable")->rowCount(), 257);
  EXPECT_EQ(Model(*window, "greyLevelTable")->columnCount(), 4);
  EXPECT_EQ(Model(*window, "primaryTable")->rowCount(), 4);
  EXPECT_EQ(Model(*window, "lutTable")->rowCount(), 4097);
  EXPECT_EQ(Model(*window, "filmGammaTable")->rowCount(), 1025);
  EXPECT_EQ(Model(*window, "filmGammaTable")->columnCount(), 2);
  EXPECT_EQ(Cell(*window, "greyLevelTable", 0, 0), "     No.");
  EXPECT_EQ(Cell(*window, "greyLevelTable", 0, 256), "     255");
  EXPECT_EQ(Cell(*window, "greyLevelTable", 3, 1), "     0.000");
  EXPECT_EQ(Cell(*window, "lutTable", 1, 0), "      R");
  EXPECT_EQ(Cell(*window, "lutTable", 0, 4096), "    4095");
  EXPECT_EQ(Cell(*window, "filmGammaTable", 1, 0), "      W");

  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  test::StationSeam(window->TheStation()).HoldFilmGamma(0, ramp);
  const auto start = test::ThreadCpuTime();
  OperatorOf(*window).RefreshLutTable();
  OperatorOf(*window).RefreshFilmGammaTable();
  EXPECT_LT(test::ThreadCpuTime() - start, std::chrono::milliseconds(200))
      << "a refresh must not build one item per cell";
  EXPECT_EQ(Cell(*window, "filmGammaTable", 1, 1), "       0");
  EXPECT_EQ(Cell(*window, "filmGammaTable", 1, 1024), "    1023");
  EXPECT_EQ(FilmGammaCurve(*window).size(), 1024);
  EXPECT_EQ(FilmGammaCurve(*window).at(1023), QPointF(1023, 1023));
}

TEST_F(WindowTablesTest, TypedValuesAreStoredAndKeptAsTypedOrRefusedWithTheConversionError) {
  auto window = Start();
  QAbstractItemModel* model = Model(*window, "greyLevelTable");
  EXPECT_TRUE(model->flags(model->index(10, 3)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(model->index(10, 0)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(model->index(0, 3)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model->setData(model->index(10, 3), "12.5", Qt::EditRole));
  EXPECT_EQ(window->TheStation().Held().calibration.greyLevels[9].Y, 12.5);
  EXPECT_EQ(Cell(*window, "greyLevelTable", 3, 10), "12.5");
  EXPECT_TRUE(boxes.empty());

  model->setData(model->index(11, 1), "-0.3", Qt::EditRole);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'0-0.3' is not a valid floating point value");
  EXPECT_EQ(boxes[0].flags, 16);
  EXPECT_EQ(window->TheStation().Held().calibration.greyLevels[10].x, 0.0);
  EXPECT_EQ(Cell(*window, "greyLevelTable", 1, 11), "-0.3");
}

TEST_F(WindowTablesTest, TheLcdColorPageShowsThePrimariesWhenItIsShown) {
  auto window = Start();
  CalibrationData data;
  data.primaries[1] = {0.3, 0.6, 70.25};
  test::StationSeam(window->TheStation()).HoldCalibrationData(data);
  OperatorOf(*window).RefreshCalibrationTables();
  EXPECT_EQ(Cell(*window, "primaryTable", 3, 2), "") << "only the active page is filled";
  Named<QTabWidget>(*window, "tablePages")->setCurrentIndex(1);
  EXPECT_EQ(Cell(*window, "primaryTable", 0, 2), "     G");
  EXPECT_EQ(Cell(*window, "primaryTable", 1, 2), "    0.3000");
  EXPECT_EQ(Cell(*window, "primaryTable", 2, 2), "    0.6000");
  EXPECT_EQ(Cell(*window, "primaryTable", 3, 2), "    70.250");
  EXPECT_EQ(Cell(*window, "primaryTable", 0, 0), "     ");
  QAbstractItemModel* primaries = Model(*window, "primaryTable");
  primaries->setData(primaries->index(3, 3), "5", Qt::EditRole);
  EXPECT_EQ(window->TheStation().Held().calibration.primaries[2].Y, 5.0);
}

TEST_F(WindowTablesTest, EachMemoryListShowsTheTableOfItsMemory) {
  auto window = Start();
  UserMemoryTables::LutTable lut{};
  lut[2][4095] = 1023;
  test::StationSeam(window->TheStation()).HoldLut(0, lut);
  OperatorOf(*window).RefreshLutTable();
  EXPECT_EQ(Cell(*window, "lutTable", 3, 4096), "1023");
  QTest::keyClick(Named<QComboBox>(*window, "lutMemoryList"), Qt::Key_Down);
  EXPECT_EQ(Cell(*window, "lutTable", 3, 4096), "0") << "a memory never loaded shows zeros";
  EXPECT_EQ(settings.ReadStringSetting("LookUpTableSendTo"), "USER2");

  UserMemoryTables::FilmGammaTable ramp{};
  for (int i = 0; i < 1024; ++i) ramp[i] = i;
  test::StationSeam(window->TheStation()).HoldFilmGamma(2, ramp);
  QTest::keyClick(Named<QComboBox>(*window, "filmGammaMemoryList"), Qt::Key_End);
  EXPECT_EQ(Cell(*window, "filmGammaTable", 0, 1), "       0");
  EXPECT_EQ(Cell(*window, "filmGammaTable", 1, 1), "       0");
  EXPECT_EQ(Cell(*window, "filmGammaTable", 0, 1024), "    1023");
  EXPECT_EQ(Cell(*window, "filmGammaTable", 1, 1024), "    1023");
  const QList<QPointF> curve = FilmGammaCurve(*window);
  ASSERT_EQ(curve.size(), 1024);
  for (int i = 0; i < curve.size(); ++i)
    ASSERT_EQ(curve[i], QPointF(i, i)) << "a straight diagonal";
}

TEST_F(WindowTablesTest, NumbersInTheGridsKeepTheDecimalPointUnderADecimalCommaLocale) {
  auto window = Start();
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_TRUE(test::UseDecimalCommaLocale());
  CalibrationData data;
  data.greyLevels[0] = {0.3127, 0.329, 1.5};
  test::StationSeam(window->TheStation()).HoldCalibrationData(data);
  OperatorOf(*window).RefreshCalibrationTables();
  QAbstractItemModel* greyLevels = Model(*window, "greyLevelTable");
  greyLevels->setData(greyLevels->index(2, 3), "2.25", Qt::EditRole);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(Cell(*window, "greyLevelTable", 1, 1), "    0.3127");
  EXPECT_EQ(Cell(*window, "greyLevelTable", 3, 1), "     1.500");
  EXPECT_EQ(window->TheStation().Held().calibration.greyLevels[1].Y, 2.25);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace velluma
