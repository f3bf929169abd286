#include <gtest/gtest.h>

#include "calibration/Station.h"
#include "platform/ConvertError.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationRig.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

class TableEditsTest : public test::StationRig<> {};

TEST_F(TableEditsTest, ATypedValueGoesIntoTheLevelOrPrimaryOfItsRowAndColumn) {
  station_.SetGreyTableCell(3, 10, "12.5");
  EXPECT_EQ(station_.Held().calibration.greyLevels[9].Y, 12.5);
  station_.SetGreyTableCell(1, 1, "  .3127");
  EXPECT_EQ(station_.Held().calibration.greyLevels[0].x, 0.3127);
  station_.SetGreyTableCell(2, 256, "");
  EXPECT_EQ(station_.Held().calibration.greyLevels[255].y, 0.0);
  station_.SetPrimaryTableCell(2, 3, "0.06");
  EXPECT_EQ(station_.Held().calibration.primaries[2].y, 0.06);
  station_.SetPrimaryTableCell(1, 1, "0.64");
  EXPECT_EQ(station_.Held().calibration.primaries[0].x, 0.64);
  EXPECT_EQ(station_.Held().calibrationReady, 0);
}

TEST_F(TableEditsTest, FixedCellsAndTextsThatDoNotConvertStoreNothing) {
  const auto before = station_.Held().calibration.greyLevels;
  station_.SetGreyTableCell(0, 5, "7");
  station_.SetGreyTableCell(2, 0, "7");
  station_.SetPrimaryTableCell(1, 4, "7");
  EXPECT_EQ(station_.Held().calibration.greyLevels, before);
  try {
    station_.SetGreyTableCell(3, 10, "-5");
    FAIL() << "a leading minus must not convert";
  } catch (const ConvertError& error) {
    EXPECT_STREQ(error.what(), "'0-5' is not a valid floating point value");
  }
  EXPECT_THROW(station_.SetPrimaryTableCell(3, 1, "abc"), ConvertError);
  EXPECT_EQ(station_.Held().calibration.greyLevels, before);
  EXPECT_EQ(station_.Held().calibration.primaries[0].Y, 0.0);
}

TEST(CalibrationDataTest, PayloadsForTheMonitor) {
  CalibrationData data;
  data.primaries = {XyYValue{0.64, 0.33, 25}, XyYValue{0.30, 0.60, 70}, XyYValue{0.15, 0.06, 5}};
  EXPECT_EQ(data.PrimariesPayload(),
            (std::array<float, 9>{25, 70, 5, 0.64f, 0.30f, 0.15f, 0.33f, 0.60f, 0.06f}));
  data.greyLevels[7] = {0.3127, 0.3290, 100.25};
  EXPECT_EQ(data.GreyRampPayload(0)[7], 100.25f);
  EXPECT_EQ(data.GreyRampPayload(1)[7], 0.3127f) << "channel 1 carries x";
  EXPECT_EQ(data.GreyRampPayload(2)[7], 0.3290f);
}

}  // namespace
}  // namespace velluma
