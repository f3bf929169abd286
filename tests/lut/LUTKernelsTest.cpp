// The numeric kernels: edges and NaN on purpose, and known-answer sweeps that report the
// largest error found.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <vector>

#include "lut/GridTable.h"
#include "lut/LUTKernels.h"
#include "lut/MonitorLut.h"

namespace velluma {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ReportLargestError(const char* what, double error) {
  std::cout << "[ largest error ] " << what << ": " << error << "\n";
}

// A 3D table of n points per axis holding f at (i, j, k)/(n-1), red slowest.
template <typename F>
LUTData Cube(int n, F f, double rangeMin = 0.0, double rangeMax = 1.0) {
  auto samples = std::make_unique<RgbTriple[]>(static_cast<std::size_t>(n) * n * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < n; ++k) {
        const double d = n - 1;
        samples[(static_cast<std::size_t>(i) * n + j) * n + k] = f(i / d, j / d, k / d);
      }
    }
  }
  return LUTData(false, rangeMin, rangeMax, n, std::move(samples));
}

TEST(Clamp01Test, EdgesAndNaN) {
  struct Case {
    double v, clamped;
  };
  const Case cases[] = {{-1e-300, 0}, {-kInf, 0},     {kNaN, 0}, {0, 0},    {0.25, 0.25},
                        {1, 1},       {1.0000001, 1}, {kInf, 1}, {1e300, 1}};
  for (const auto& c : cases) EXPECT_EQ(Clamp01(c.v), c.clamped) << c.v;
}

TEST(ToMonitorCodeTest, RoundsHalfUpOverTheTenBitRange) {
  // k/15 for k = 0..15, worked out by hand: k * 68.2 + 0.5, truncated.
  const int expected[16] = {0,   68,  136, 205, 273, 341, 409, 477,
                            546, 614, 682, 750, 818, 887, 955, 1023};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(ToMonitorCode(MonitorGridInput(k)), expected[k]) << k;
  EXPECT_EQ(ToMonitorCode(0.5), 512);  // 511.5 + 0.5
  EXPECT_EQ(ToMonitorCode(1.0), 1023);
  EXPECT_EQ(ToMonitorCode(0.0), 0);
  // Outside 0..1 the formula still applies (callers clamp first); it is never undefined.
  EXPECT_EQ(ToMonitorCode(1.2), 1228);
  EXPECT_EQ(ToMonitorCode(-0.0001), 0);  // -0.4 truncated toward zero
  EXPECT_EQ(ToMonitorCode(-1.0), -1022);
  EXPECT_EQ(ToMonitorCode(kNaN), 0);
  EXPECT_EQ(ToMonitorCode(kInf), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ToMonitorCode(-kInf), std::numeric_limits<std::int32_t>::min());
}

TEST(UnitPositionsTest, TheReciprocalTimesI) {
  const auto two = UnitPositions(2);
  EXPECT_EQ(two, (std::vector<double>{0.0, 1.0}));
  // 49 * (1/49) is just below 1: the top position of a 50-point table is not 1.0, which the
  // interpolation's top edge must handle.
  const auto fifty = UnitPositions(50);
  EXPECT_EQ(fifty[49], 49 * (1.0 / 49));
  EXPECT_LT(fifty[49], 1.0);
  EXPECT_EQ(UnitPositions(16)[15], 1.0);
}

TEST(InterpolateCurvesTest, KnownAnswerSweeps) {
  // A straight line is reproduced exactly, inside and outside the table.
  const auto x = UnitPositions(17);
  std::vector<double> line;
  for (double xi : x) line.push_back(0.25 + 0.5 * xi);
  double largest = 0;
  for (int s = -500; s <= 1500; ++s) {
    const double t = s / 1000.0;
    largest = std::max(largest, std::abs(InterpolateCurves(x, line, t) - (0.25 + 0.5 * t)));
  }
  ReportLargestError("straight line, 17 points, t in -0.5..1.5", largest);
  EXPECT_LT(largest, 1e-15);

  // t^2 sampled at 17 points: piecewise-linear error at most h^2/4 (h = 1/16).
  std::vector<double> square;
  for (double xi : x) square.push_back(xi * xi);
  largest = 0;
  for (int s = 0; s <= 10000; ++s) {
    const double t = s / 10000.0;
    largest = std::max(largest, std::abs(InterpolateCurves(x, square, t) - t * t));
  }
  ReportLargestError("t^2, 17 points, t in 0..1", largest);
  EXPECT_LE(largest, 1.0 / 16 / 16 / 4 + 1e-15);
  EXPECT_GT(largest, 1.0 / 16 / 16 / 4 - 1e-6);  // and it really interpolates linearly
}

TEST(InterpolateCurvesTest, OutsideTheTableTheLineThroughFirstAndLastPoints) {
  const std::vector<double> x = {0.0, 0.5, 1.0};
  const std::vector<double> peak = {0.0, 1.0, 0.0};
  EXPECT_EQ(InterpolateCurves(x, peak, -0.5), 0.0);  // not the first segment's -1
  EXPECT_EQ(InterpolateCurves(x, peak, 1.5), 0.0);
  EXPECT_EQ(InterpolateCurves(x, peak, 0.25), 0.5);
  EXPECT_EQ(InterpolateCurves(x, peak, 1.0), 0.0);  // the top edge is inside
}

TEST(InterpolateCurvesTest, AnInnerPositionUsesTheSegmentToItsLeft) {
  // A NaN to the right of the point does not reach it.
  const std::vector<double> x = {0.0, 0.5, 1.0};
  EXPECT_EQ(InterpolateCurves(x, std::vector<double>{0.0, 0.5, kNaN}, 0.5), 0.5);
  EXPECT_TRUE(std::isnan(InterpolateCurves(x, std::vector<double>{kNaN, 0.5, 1.0}, 0.5)));
}

TEST(InterpolateTrilinearTest, KnownAnswerSweepOfMultilinearFunctions) {
  // Functions linear in each coordinate are reproduced exactly by trilinear interpolation, on
  // a 2-point cube and on a 5-point one alike.
  const auto f = [](double r, double g, double b) {
    return RgbTriple{r, 0.2 + 0.6 * g * b, 0.25 + 0.5 * r * g * b - 0.25 * r * b};
  };
  for (int n : {2, 5}) {
    const GridTable grid(Cube(n, f));
    double largest = 0;
    for (int i = 0; i <= 20; ++i) {
      for (int j = 0; j <= 20; ++j) {
        for (int k = 0; k <= 20; ++k) {
          const RgbTriple expected = f(i / 20.0, j / 20.0, k / 20.0);
          const RgbTriple actual = InterpolateTrilinear(grid, {i / 20.0, j / 20.0, k / 20.0});
          largest = std::max({largest, std::abs(actual.r - expected.r),
                              std::abs(actual.g - expected.g), std::abs(actual.b - expected.b)});
        }
      }
    }
    ReportLargestError(n == 2 ? "multilinear, 2-point cube" : "multilinear, 5-point cube", largest);
    EXPECT_LT(largest, 1e-14) << n;
  }
}

TEST(InterpolateTrilinearTest, PointsOutsideTheGridAndNaNAreTakenAtTheEdge) {
  const auto f = [](double r, double g, double b) { return RgbTriple{r, g, b}; };
  const GridTable grid(Cube(3, f));
  struct Case {
    RgbTriple point, expected;
  };
  const Case cases[] = {
      {{-0.5, 0.5, 1.5}, {0.0, 0.5, 1.0}},
      {{kNaN, kNaN, 0.25}, {0.0, 0.0, 0.25}},
      {{-kInf, kInf, 1.0}, {0.0, 1.0, 1.0}},
  };
  for (const auto& c : cases) {
    const RgbTriple v = InterpolateTrilinear(grid, c.point);
    EXPECT_EQ(v.r, c.expected.r);
    EXPECT_EQ(v.g, c.expected.g);
    EXPECT_EQ(v.b, c.expected.b);
  }
}

TEST(InterpolateTrilinearTest, CellSearchAtGridPlanesAndTheTopEdge) {
  // A point on an inner grid plane falls in the cell above it: a NaN below does not reach it.
  const GridTable nanBelow(Cube(3, [](double r, double, double) {
    return RgbTriple{r == 0 ? kNaN : r, 0, 0};
  }));
  EXPECT_EQ(InterpolateTrilinear(nanBelow, {0.5, 0, 0}).r, 0.5);
  EXPECT_TRUE(std::isnan(InterpolateTrilinear(nanBelow, {0.25, 0, 0}).r));

  // 50 points per axis: the top position is just below 1, and the input 1.0 above it is
  // taken at the top position, so the top corner's value comes out exactly.
  const GridTable fifty(Cube(50, [](double r, double g, double b) {
    return RgbTriple{r == 1 ? 0.75 : 0, g == 1 ? 0.5 : 0, b};
  }));
  const RgbTriple top = InterpolateTrilinear(fifty, {1.0, 1.0, 1.0});
  EXPECT_EQ(top.r, 0.75);
  EXPECT_EQ(top.g, 0.5);
}

TEST(InterpolateTrilinearTest, ValuesAreNormalisedToTheTableRange) {
  // A table over 0..4 holding 4 * (r, g, b) reads as the identity.
  const GridTable grid(Cube(
      2,
      [](double r, double g, double b) {
        return RgbTriple{4 * r, 4 * g, 4 * b};
      },
      0.0, 4.0));
  const RgbTriple v = InterpolateTrilinear(grid, {0.25, 0.5, 0.75});
  EXPECT_DOUBLE_EQ(v.r, 0.25);
  EXPECT_DOUBLE_EQ(v.g, 0.5);
  EXPECT_DOUBLE_EQ(v.b, 0.75);
}

}  // namespace
}  // namespace velluma
