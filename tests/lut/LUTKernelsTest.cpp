// The numeric kernels: edges and NaN on purpose, and known-answer sweeps reporting the largest
// error found.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>

#include "lut/GridTable.h"
#include "lut/LUTKernels.h"
#include "tests/lut/LUTTestFiles.h"

namespace velluma {
namespace {

using test::Cube;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LUTKernelsTest, Clamp01AndToMonitorCode) {
  for (double v : {-1e-300, -kInf, kNaN}) EXPECT_EQ(Clamp01(v), 0.0) << v;
  for (double v : {1.0000001, kInf}) EXPECT_EQ(Clamp01(v), 1.0) << v;
  EXPECT_EQ(Clamp01(0.25), 0.25);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(ToMonitorCode(MonitorGridInput(k)), test::kGridCode[k]);
  EXPECT_EQ(ToMonitorCode(0.5), 512);  // 511.5 + 0.5
  // Outside 0..1 the formula still applies, truncating toward zero; it is never undefined.
  EXPECT_EQ(ToMonitorCode(1.2), 1228);
  EXPECT_EQ(ToMonitorCode(-0.0001), 0);
  EXPECT_EQ(ToMonitorCode(kNaN), 0);
  EXPECT_EQ(ToMonitorCode(kInf), INT32_MAX);
}

TEST(LUTKernelsTest, PositionsAreTheReciprocalTimesI) {
  EXPECT_EQ(UnitPositions(2), (std::vector<double>{0.0, 1.0}));
  EXPECT_EQ(UnitPositions(16)[15], 1.0);
  EXPECT_LT(UnitPositions(50)[49], 1.0);  // 49 * (1/49): the top edge below 1
}

TEST(LUTKernelsTest, CurvesKnownAnswerSweeps) {
  const auto x = UnitPositions(17);
  std::vector<double> line, square;
  for (double xi : x) {
    line.push_back(0.25 + 0.5 * xi);
    square.push_back(xi * xi);
  }
  // A straight line is reproduced exactly, inside and outside the table.
  double largest = 0;
  for (int s = -500; s <= 1500; ++s) {
    largest = std::max(largest, std::abs(InterpolateCurves(x, line, s / 1e3) - (0.25 + s / 2e3)));
  }
  std::cout << "[ largest error ] straight line, t in -0.5..1.5: " << largest << "\n";
  EXPECT_LT(largest, 1e-15);
  // t^2 at 17 points: piecewise linear, so the largest error is h^2/4 with h = 1/16.
  largest = 0;
  for (int s = 0; s <= 10000; ++s) {
    largest = std::max(largest, std::abs(InterpolateCurves(x, square, s / 1e4) - s * s / 1e8));
  }
  std::cout << "[ largest error ] t^2, t in 0..1: " << largest << "\n";
  EXPECT_NEAR(largest, 1.0 / 1024, 1e-6);
}

TEST(LUTKernelsTest, CurvesEdgesAndInnerPositions) {
  const std::vector<double> x = {0.0, 0.5, 1.0};
  const std::vector<double> peak = {0.0, 1.0, 0.0};
  // Outside the table: the line through the first and last points, not the end segments.
  EXPECT_EQ(InterpolateCurves(x, peak, -0.5), 0.0);
  EXPECT_EQ(InterpolateCurves(x, peak, 1.5), 0.0);
  // An inner position uses the segment to its left: a NaN to the right does not reach it.
  EXPECT_EQ(InterpolateCurves(x, std::vector<double>{0.0, 0.5, kNaN}, 0.5), 0.5);
  EXPECT_TRUE(std::isnan(InterpolateCurves(x, std::vector<double>{kNaN, 0.5, 1.0}, 0.5)));
}

TEST(LUTKernelsTest, TrilinearKnownAnswerSweep) {
  // Functions linear in each coordinate are reproduced exactly, on any grid.
  const auto f = [](double r, double g, double b) {
    return RgbTriple{r, 0.2 + 0.6 * g * b, 0.25 + 0.5 * r * g * b - 0.25 * r * b};
  };
  for (int n : {2, 5}) {
    const LUTData cube = Cube(n, f);
    const GridTable grid(cube);
    double largest = 0;
    for (int i = 0; i < 8000; ++i) {  // a 20 x 20 x 20 sweep of 0..1
      const RgbTriple p{i % 20 / 19.0, i / 20 % 20 / 19.0, i / 400 / 19.0};
      const RgbTriple got = InterpolateTrilinear(grid, p), want = f(p.r, p.g, p.b);
      largest = std::max(
          {largest, std::abs(got.r - want.r), std::abs(got.g - want.g), std::abs(got.b - want.b)});
    }
    std::cout << "[ largest error ] multilinear, " << n << "-point cube: " << largest << "\n";
    EXPECT_LT(largest, 1e-14);
  }
}

TEST(LUTKernelsTest, TrilinearEdgesNaNAndCellSearch) {
  const LUTData identityCube = Cube(3, test::Identity);
  const GridTable identity(identityCube);
  const RgbTriple clamped = InterpolateTrilinear(identity, {-0.5, kNaN, 1.5});
  EXPECT_EQ(clamped.r, 0.0);  // below the grid
  EXPECT_EQ(clamped.g, 0.0);  // not a number: taken at the first position
  EXPECT_EQ(clamped.b, 1.0);  // above the grid

  // A point on an inner grid plane falls in the cell above it: a NaN below does not reach it.
  const LUTData nanBelowCube = Cube(3, [](double r, double, double) {
    return RgbTriple{r == 0 ? kNaN : r, 0, 0};
  });
  const GridTable nanBelow(nanBelowCube);
  EXPECT_EQ(InterpolateTrilinear(nanBelow, {0.5, 0, 0}).r, 0.5);
  EXPECT_TRUE(std::isnan(InterpolateTrilinear(nanBelow, {0.25, 0, 0}).r));

  // 50 points: the input 1.0 lies above the top position 49 * (1/49) and is taken there, so
  // the top corner's value comes out exactly.
  const LUTData fiftyCube = Cube(50, [](double r, double, double) {
    return RgbTriple{r == 1 ? 0.75 : 0, 0, 0};
  });
  const GridTable fifty(fiftyCube);
  EXPECT_EQ(InterpolateTrilinear(fifty, {1.0, 1.0, 1.0}).r, 0.75);

  // Values are normalised to the table's range: a 0..4 table holding 4 * input is the identity.
  const LUTData scaledCube = Cube(
      2,
      [](double r, double g, double b) {
        return RgbTriple{4 * r, 4 * g, 4 * b};
      },
      0.0, 4.0);
  const GridTable scaled(scaledCube);
  EXPECT_DOUBLE_EQ(InterpolateTrilinear(scaled, {0.25, 0.5, 0.75}).g, 0.5);
}

}  // namespace
}  // namespace velluma
