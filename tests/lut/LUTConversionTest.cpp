// The conversion steps on tables built in memory: values worked out by hand, the reorder into
// the monitor's entry order, and known-answer sweeps against the functions the tables sample.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>

#include "lut/LUTConversion.h"
#include "lut/LUTKernels.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/CpuTime.h"

namespace velluma {
namespace {

using test::Cube;
using test::Curve;
using test::kGridCode;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

RgbTriple Identity1D(double x) {
  return {x, x, x};
}

// The monitor table of `curve` followed, if given, by `cube`.
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

// Every entry e holds, per channel, the code of the grid index of that channel (red fastest).
void ExpectGridCodes(const MonitorLutTable& table) {
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    ASSERT_EQ(table[0][e], kGridCode[e % 16]) << e;
    ASSERT_EQ(table[1][e], kGridCode[e / 16 % 16]) << e;
    ASSERT_EQ(table[2][e], kGridCode[e / 256]) << e;
  }
}

TEST(LUTConversionTest, TablesThatCannotBeConvertedLeaveTheWorkingDataAlone) {
  InputCurve curve = IdentityInputCurve();
  curve[3].g = -5;
  auto samples = std::make_unique<GridSamples>();
  (*samples)[7].b = -5;
  // One entry has no positions i/(n-1); no samples; the wrong kind of table.
  EXPECT_FALSE(Convert1D(LUTData(true, 0, 1, 1, std::make_unique<RgbTriple[]>(1)), curve));
  EXPECT_FALSE(Convert1D(LUTData(true, 0, 1, 2, nullptr), curve));
  EXPECT_FALSE(Convert1D(Cube(2, test::Identity), curve));
  EXPECT_FALSE(
      Convert3D(curve, LUTData(false, 0, 1, 1, std::make_unique<RgbTriple[]>(1)), *samples));
  EXPECT_FALSE(Convert3D(curve, LUTData(false, 0, 1, 2, nullptr), *samples));
  EXPECT_FALSE(Convert3D(curve, Curve(2, Identity1D), *samples));
  EXPECT_EQ(curve[3].g, -5);
  EXPECT_EQ((*samples)[7].b, -5);
}

TEST(LUTConversionTest, IdentityTables) {
  for (int n : {2, 33}) {
    const LUTData cube = Cube(n, test::Identity);
    const auto table = Convert(IdentityInputCurve(), &cube);
    ExpectGridCodes(*table);
    EXPECT_EQ((*table)[0][1], 68);  // entry 1: red index 1
    EXPECT_EQ((*table)[1][1], 0);
    EXPECT_EQ((*table)[2][4095], 1023);
  }
  // Two entries (0, 0, 0) and (1, 1, 1) over 0..1.
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(2, Identity1D), curve));
  ExpectGridCodes(*Convert(curve, nullptr));
  // The input LUT of a Baselight file of width 17 runs over 0..16 and is normalised.
  ASSERT_TRUE(Convert1D(Curve(
                            17, [](double x) { return Identity1D(16 * x); }, 0.0, 16.0),
                        curve));
  ExpectGridCodes(*Convert(curve, nullptr));
}

TEST(LUTConversionTest, OneDimensionalTablesOnly) {
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(5, [](double) { return Identity1D(0.5); }), curve));
  const auto half = Convert(curve, nullptr);
  for (const auto& channel : *half) {
    for (int code : channel) ASSERT_EQ(code, 512);  // 0.5 * 1023 + 0.5
  }
  // Each channel passes through its own curve; beyond the range 1, below it 0, NaN 0.
  ASSERT_TRUE(Convert1D(Curve(2, [](double x) { return RgbTriple{1 - x, 3 * x, x - 1}; }), curve));
  EXPECT_EQ(curve[2].r, 13.0 / 15);
  EXPECT_EQ(curve[5].g, 1.0);
  EXPECT_EQ(curve[14].b, 0.0);
  ASSERT_TRUE(Convert1D(Curve(2, [](double) { return Identity1D(kNaN); }), curve));
  EXPECT_EQ(curve[7].r, 0.0);
}

TEST(LUTConversionTest, CubeOutputsAreClamped) {
  // Outputs from -0.5 to 1.5 give 0 to 1023. The blue samples of the top blue plane are NaN:
  // every point of the cells touching them comes out NaN (even where its weight is 0) and
  // is clamped to 0.
  const LUTData cube = Cube(3, [](double r, double, double b) {
    return RgbTriple{2 * r - 0.5, r == 1 ? 1.2 : -0.2, b == 1 ? kNaN : 0.5};
  });
  const auto table = Convert(IdentityInputCurve(), &cube);
  EXPECT_EQ((*table)[0][0], 0);
  EXPECT_EQ((*table)[0][8], 580);  // 2 * 8/15 - 0.5 = 0.56667: 579.7 + 0.5
  EXPECT_EQ((*table)[0][15], 1023);
  EXPECT_EQ((*table)[1][0], 0);
  EXPECT_EQ((*table)[1][15], 1023);
  EXPECT_EQ((*table)[2][256 * 7], 512);  // b 7/15: below the NaN cells
  EXPECT_EQ((*table)[2][256 * 8], 0);    // b 8/15: inside them
}

// Sweeps against the sampled functions, computed here without the kernels.
TEST(LUTConversionTest, KnownAnswerSweeps) {
  const auto code = [](double v) { return static_cast<int>(v * 1023 + 0.5); };
  // A multilinear 33-point cube: trilinear interpolation is exact.
  const auto f = [](double r, double g, double b) {
    return RgbTriple{r * g, 0.2 + 0.6 * b, r * g * b};
  };
  const LUTData cube = Cube(33, f);
  auto table = Convert(IdentityInputCurve(), &cube);
  int largest = 0;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const RgbTriple v = f(e % 16 / 15.0, e / 16 % 16 / 15.0, e / 256 / 15.0);
    largest =
        std::max({largest, std::abs((*table)[0][e] - code(v.r)),
                  std::abs((*table)[1][e] - code(v.g)), std::abs((*table)[2][e] - code(v.b))});
  }
  std::cout << "[ largest error ] multilinear 33-point cube: " << largest << " codes\n";
  EXPECT_LE(largest, 1);

  // A 1024-entry gamma 2.2 curve, then a 65-point cube squaring each channel.
  InputCurve curve{};
  ASSERT_TRUE(Convert1D(Curve(1024, [](double x) { return Identity1D(std::pow(x, 2.2)); }), curve));
  const LUTData square = Cube(65, [](double r, double g, double b) {
    return RgbTriple{r * r, g * g, b * b};
  });
  table = Convert(curve, &square);
  largest = 0;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const int k[3] = {e % 16, e / 16 % 16, e / 256};
    for (int c = 0; c < 3; ++c) {
      largest = std::max(largest, std::abs((*table)[c][e] - code(std::pow(k[c] / 15.0, 4.4))));
    }
  }
  std::cout << "[ largest error ] gamma curve then squaring cube: " << largest << " codes\n";
  EXPECT_LE(largest, 1);
}

// The conversion of a 65-point cube, set-up included, well under a second of processor time in
// any build (however busy the machine).
TEST(LUTConversionTest, A65PointCubeConvertsQuickly) {
  const LUTData cube = Cube(65, test::Identity);
  auto samples = std::make_unique<GridSamples>();
  const auto start = test::ThreadCpuTime();
  ASSERT_TRUE(Convert3D(IdentityInputCurve(), cube, *samples));
  const std::chrono::duration<double> took = test::ThreadCpuTime() - start;
  std::cout << "[ time ] 65-point cube converted in " << took.count() << " s of processor time\n";
  EXPECT_LT(took.count(), 0.5);
}

}  // namespace
}  // namespace velluma
