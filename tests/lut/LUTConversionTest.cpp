// The conversion steps on tables built in memory: the 1D resampling, the 3D evaluation, the
// reorder into the monitor's entry order, with values worked out by hand and known-answer
// sweeps against the functions the tables sample.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>

#include "lut/LUTConversion.h"
#include "lut/LUTKernels.h"

namespace velluma {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// k/15 in 10-bit codes, worked out by hand.
constexpr int kGridCode[16] = {0,   68,  136, 205, 273, 341, 409, 477,
                               546, 614, 682, 750, 818, 887, 955, 1023};

template <typename F>
LUTData Curve(int n, F f, double rangeMin = 0.0, double rangeMax = 1.0) {
  auto samples = std::make_unique<RgbTriple[]>(n);
  for (int i = 0; i < n; ++i) samples[i] = f(static_cast<double>(i) / (n - 1));
  return LUTData(true, rangeMin, rangeMax, n, std::move(samples));
}

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

RgbTriple Identity(double r, double g, double b) {
  return {r, g, b};
}
RgbTriple Identity1D(double x) {
  return {x, x, x};
}

// The monitor table after a conversion with `curve` and, if given, `cube`.
std::unique_ptr<MonitorLutTable> Convert(const InputCurve& curve, const LUTData* cube) {
  auto samples = std::make_unique<GridSamples>();
  if (cube) {
    EXPECT_TRUE(Convert3D(curve, *cube, *samples));
  } else {
    CurveGridSamples(curve, *samples);
  }
  auto table = std::make_unique<MonitorLutTable>();
  StoreMonitorCodes(*samples, *table);
  return table;
}

TEST(LUTConversionTest, TablesThatCannotBeConvertedLeaveTheWorkingDataAlone) {
  InputCurve curve = IdentityInputCurve();
  curve[3].g = -5;
  auto samples = std::make_unique<GridSamples>();
  (*samples)[7].b = -5;
  const LUTData one1D = Curve(2, Identity1D);
  const LUTData size1(true, 0, 1, 1, std::make_unique<RgbTriple[]>(1));
  const LUTData noSamples(true, 0, 1, 2, nullptr);
  const LUTData cube1(false, 0, 1, 1, std::make_unique<RgbTriple[]>(1));
  const LUTData cubeNoSamples(false, 0, 1, 2, nullptr);
  const LUTData cube2 = Cube(2, Identity);

  EXPECT_FALSE(Convert1D(size1, curve));  // one entry has no positions i/(n-1)
  EXPECT_FALSE(Convert1D(noSamples, curve));
  EXPECT_FALSE(Convert1D(cube2, curve));  // not a 1D table
  EXPECT_FALSE(Convert3D(curve, cube1, *samples));
  EXPECT_FALSE(Convert3D(curve, cubeNoSamples, *samples));
  EXPECT_FALSE(Convert3D(curve, one1D, *samples));  // not a 3D table
  EXPECT_EQ(curve[3].g, -5);
  EXPECT_EQ((*samples)[7].b, -5);
}

TEST(LUTConversionTest, IdentityCubeGivesTheGridCodes) {
  for (int n : {2, 17, 33}) {
    SCOPED_TRACE(n);
    const LUTData cube = Cube(n, Identity);
    const auto table = Convert(IdentityInputCurve(), &cube);
    for (int e = 0; e < kMonitorLutEntries; ++e) {
      const int r = e % 16, g = e / 16 % 16, b = e / 256;
      ASSERT_EQ((*table)[0][e], kGridCode[r]) << e;
      ASSERT_EQ((*table)[1][e], kGridCode[g]) << e;
      ASSERT_EQ((*table)[2][e], kGridCode[b]) << e;
    }
    EXPECT_EQ((*table)[0][1], 68);  // entry 1 is red index 1: red fastest
    EXPECT_EQ((*table)[1][1], 0);
    EXPECT_EQ((*table)[2][1], 0);
    EXPECT_EQ((*table)[0][0], 0);
    EXPECT_EQ((*table)[2][4095], 1023);
  }
}

TEST(LUTConversionTest, OneDimensionalTablesOnly) {
  // Everything to 0.5: 0.5 * 1023 + 0.5 = 512 everywhere.
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(5, [](double) { return RgbTriple{0.5, 0.5, 0.5}; }), curve));
  auto table = Convert(curve, nullptr);
  for (const auto& channel : *table) {
    for (int code : channel) ASSERT_EQ(code, 512);
  }

  // Two entries (0, 0, 0) and (1, 1, 1) over 0..1: the identity.
  ASSERT_TRUE(Convert1D(Curve(2, Identity1D), curve));
  table = Convert(curve, nullptr);
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    ASSERT_EQ((*table)[0][e], kGridCode[e % 16]) << e;
    ASSERT_EQ((*table)[1][e], kGridCode[e / 16 % 16]) << e;
    ASSERT_EQ((*table)[2][e], kGridCode[e / 256]) << e;
  }

  // The Baselight input LUT of a width-17 file runs over 0..16: values 0..16 are normalised.
  ASSERT_TRUE(Convert1D(Curve(
                            17,
                            [](double x) {
                              return RgbTriple{16 * x, 16 * x, 16 * x};
                            },
                            0.0, 16.0),
                        curve));
  for (int k = 0; k < 16; ++k) EXPECT_EQ(ToMonitorCode(curve[k].g), kGridCode[k]) << k;

  // Each channel passes through its own curve: red inverted, green halved, blue kept.
  ASSERT_TRUE(Convert1D(Curve(2, [](double x) { return RgbTriple{1 - x, x / 2, x}; }), curve));
  table = Convert(curve, nullptr);
  const int e = 15 + 16 * 15 + 256 * 3;  // r 15, g 15, b 3
  EXPECT_EQ((*table)[0][e], 0);
  EXPECT_EQ((*table)[1][e], 512);
  EXPECT_EQ((*table)[2][e], 205);
}

TEST(LUTConversionTest, OutputsOutsideTheRangeAndNaNAreClamped) {
  // A 0..1 cube whose outputs run from -0.5 to 1.5: beyond the range 1023, below it 0. Its
  // blue samples on the top blue plane are NaN: every point of the cells touching them, down
  // to the plane b = 0.5 itself, comes out NaN (a NaN times a zero weight is still NaN) and is
  // clamped to 0.
  const LUTData cube = Cube(3, [](double r, double, double b) {
    return RgbTriple{2 * r - 0.5, r == 1 ? 1.2 : -0.2, b == 1 ? kNaN : 0.5};
  });
  const auto table = Convert(IdentityInputCurve(), &cube);
  EXPECT_EQ((*table)[0][0], 0);          // -0.5
  EXPECT_EQ((*table)[0][15], 1023);      // 1.5
  EXPECT_EQ((*table)[0][8], 580);        // 2 * 8/15 - 0.5 = 0.56667, 579.7 + 0.5
  EXPECT_EQ((*table)[1][15], 1023);      // 1.2
  EXPECT_EQ((*table)[1][0], 0);          // -0.2
  EXPECT_EQ((*table)[2][256 * 7], 512);  // b 7/15, below the plane 0.5: 0.5
  EXPECT_EQ((*table)[2][256 * 8], 0);    // b 8/15, in the cell of the NaN samples
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    for (int c = 0; c < 3; ++c) ASSERT_TRUE((*table)[c][e] >= 0 && (*table)[c][e] <= 1023);
  }

  // A 1D table over 0..1 with outputs above 1 and below 0.
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(2, [](double x) { return RgbTriple{3 * x, x - 1, kNaN}; }), curve));
  EXPECT_EQ(curve[15].r, 1.0);
  EXPECT_EQ(curve[5].r, 1.0);
  EXPECT_EQ(curve[15].g, 0.0);
  EXPECT_EQ(curve[0].b, 0.0);
}

// Sweeps against the functions the tables sample, computed here without the kernels: the
// largest difference in 10-bit codes is reported.
TEST(LUTConversionTest, KnownAnswerSweeps) {
  // A multilinear cube of 33 points: trilinear interpolation is exact, so the codes are those
  // of the function itself, up to the rounding of a value that falls on a half code.
  const auto f = [](double r, double g, double b) {
    return RgbTriple{r * g, 0.2 + 0.6 * b, r * g * b};
  };
  const LUTData cube = Cube(33, f);
  auto table = Convert(IdentityInputCurve(), &cube);
  int largest = 0;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const RgbTriple v = f((e % 16) / 15.0, (e / 16 % 16) / 15.0, (e / 256) / 15.0);
    largest = std::max({largest, std::abs((*table)[0][e] - static_cast<int>(v.r * 1023 + 0.5)),
                        std::abs((*table)[1][e] - static_cast<int>(v.g * 1023 + 0.5)),
                        std::abs((*table)[2][e] - static_cast<int>(v.b * 1023 + 0.5))});
  }
  std::cout << "[ largest error ] multilinear 33-point cube: " << largest << " codes\n";
  EXPECT_LE(largest, 1);

  // A 1024-entry 1D gamma 2.2 curve followed by a 65-point cube squaring each channel: the
  // codes of (t^2.2)^2 within one code.
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(1024,
                              [](double x) {
                                const double y = std::pow(x, 2.2);
                                return RgbTriple{y, y, y};
                              }),
                        curve));
  const LUTData square = Cube(65, [](double r, double g, double b) {
    return RgbTriple{r * r, g * g, b * b};
  });
  table = Convert(curve, &square);
  largest = 0;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const int k[3] = {e % 16, e / 16 % 16, e / 256};
    for (int c = 0; c < 3; ++c) {
      const double exact = std::pow(std::pow(k[c] / 15.0, 2.2), 2);
      largest = std::max(largest, std::abs((*table)[c][e] - static_cast<int>(exact * 1023 + 0.5)));
    }
  }
  std::cout << "[ largest error ] gamma curve then squaring cube: " << largest << " codes\n";
  EXPECT_LE(largest, 1);
}

// The conversion of a 65-point cube, set-up included, well under a second in any build.
TEST(LUTConversionTest, A65PointCubeConvertsQuickly) {
  const LUTData cube = Cube(65, Identity);
  auto samples = std::make_unique<GridSamples>();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Convert3D(IdentityInputCurve(), cube, *samples));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::cout << "[ time ] 65-point cube converted in " << took.count() << " s\n";
  EXPECT_LT(took.count(), 0.5);
}

}  // namespace
}  // namespace velluma
