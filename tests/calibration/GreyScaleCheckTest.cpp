#include <gtest/gtest.h>

#include <cmath>

#include "calibration/GreyScaleCheck.h"

namespace velluma {
namespace {

CalibrationData NeutralGreys() {
  CalibrationData data;
  for (auto& level : data.greyLevels) level = {0.3127, 0.3290, 100};
  return data;
}

const auto kNoOffsets = [](int) { return 0.0; };

TEST(GreyScaleCheckTest, TheWindowIncludesItsBounds) {
  struct Case {
    double x, y;
    bool accepted;
  } cases[] = {
      {0.24, 0.3290, true},    {0.2399, 0.3290, false}, {0.35, 0.3290, true},
      {0.3501, 0.3290, false}, {0.3127, 0.247, true},   {0.3127, 0.2469, false},
      {0.3127, 0.357, true},   {0.3127, 0.3571, false}, {NAN, 0.3290, false},
      {0.3127, NAN, false},
  };
  for (const Case& c : cases) {
    CalibrationData data = NeutralGreys();
    data.greyLevels[50] = {c.x, c.y, 100};
    EXPECT_EQ(GreyScaleInWindow(data, kNoOffsets), c.accepted) << c.x << " " << c.y;
  }
}

TEST(GreyScaleCheckTest, OnlyLevels50To255AreTested) {
  CalibrationData data = NeutralGreys();
  for (int n = 0; n < 50; ++n) data.greyLevels[n] = {0, 0, 0};
  EXPECT_TRUE(GreyScaleInWindow(data, kNoOffsets));
  data.greyLevels[255].x = 0.5;
  EXPECT_FALSE(GreyScaleInWindow(data, kNoOffsets));
}

TEST(GreyScaleCheckTest, TheOffsetsAreRemovedAndAskedAtEveryLevel) {
  CalibrationData data = NeutralGreys();
  for (auto& level : data.greyLevels) level.x = 0.355;  // measured 0.345 with +0.0100 added
  int asked = 0;
  EXPECT_TRUE(GreyScaleInWindow(data, [&](int axis) {
    ++asked;
    return axis == 0 ? 0.01 : 0.0;
  }));
  EXPECT_EQ(asked, 2 * 206);
  EXPECT_FALSE(GreyScaleInWindow(data, kNoOffsets));
}

}  // namespace
}  // namespace velluma
