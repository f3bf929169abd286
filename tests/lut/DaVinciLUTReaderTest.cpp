// DaVinci Resolve ".cube" files: a commented table of small files ending with their status,
// the values a good file yields, and hostile files.
#include <gtest/gtest.h>

#include <clocale>
#include <random>

#include "lut/DaVinciLUTReader.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/DecimalCommaLocale.h"

namespace velluma {
namespace {

using test::CubeLines;
using test::ReadText;

const std::string kCube2 = CubeLines(2, test::Identity);  // 8 lines
const std::string kSized2 = "LUT_3D_SIZE 2\n" + kCube2;
const std::string kCurve2 = "LUT_1D_SIZE 2\n0 0 0\n1 1 1\n";

void ExpectStatuses(const std::vector<test::StatusCase>& cases) {
  test::ExpectStatuses<DaVinciLUTReader>(cases);
}

TEST(DaVinciLUTReaderTest, StatusOfEachKindOfFile) {
  ExpectStatuses({
      {"both tables, blank lines between them, CR LF line ends",
       "LUT_1D_SIZE 2\r\nLUT_3D_SIZE 2\r\n0 0 0\r\n1 1 1\r\n\r\n" + kCube2, ReadStatus::Success},
      {"other software's keywords are skipped like titles",
       "DOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\n" + kSized2, ReadStatus::Success},
      {"a keyword anywhere in the line", "grid: LUT_3D_SIZE 2 points\n" + kCube2,
       ReadStatus::Success},
      {"the number must follow the keyword", "LUT_3D_SIZE is 2\n" + kCube2, ReadStatus::ParseError},
      {"a keyword in a comment is a comment", "# LUT_3D_SIZE 2\n" + kCube2, ReadStatus::ParseError},
      {"a size but no data line", "LUT_3D_SIZE 2\n# nothing\n", ReadStatus::ParseError},
      {"LUT_3D_SIZE -2", "LUT_3D_SIZE -2\n" + kCube2, ReadStatus::ParseError},
      {"LUT_1D_INPUT_RANGE 1.0 0.0", "LUT_1D_INPUT_RANGE 1.0 0.0\n" + kCurve2,
       ReadStatus::ParseError},
      {"LUT_1D_INPUT_RANGE 0.5 0.5", "LUT_1D_INPUT_RANGE 0.5 0.5\n" + kCurve2,
       ReadStatus::ParseError},
      {"LUT_3D_INPUT_RANGE with one number", "LUT_3D_INPUT_RANGE 0.0\n" + kSized2,
       ReadStatus::ParseError},
      {"a range beyond 0..1 is read (the conversion refuses it)",
       "LUT_3D_INPUT_RANGE 0.0 2.0\n" + kSized2, ReadStatus::Success},
      {"a keyword after the first data line", "LUT_1D_SIZE 2\n0 0 0\nLUT_3D_SIZE 2\n1 1 1\n",
       ReadStatus::ParseError},
      {"cube one line short", "LUT_3D_SIZE 2\n" + kCube2.substr(6), ReadStatus::ParseError},
      {"extra lines after the cube are not read", kSized2 + "0 0 0\nanything\n",
       ReadStatus::Success},
      {"comment inside the cube", "LUT_3D_SIZE 2\n0 0 0\n# note\n" + kCube2.substr(6),
       ReadStatus::ParseError},
      {"comment between the two tables",
       "LUT_1D_SIZE 2\nLUT_3D_SIZE 2\n0 0 0\n1 1 1\n# cube\n" + kCube2, ReadStatus::ParseError},
      {"size 1 is read (the conversion refuses it)", "LUT_3D_SIZE 1\n0.5 0.5 0.5\n",
       ReadStatus::Success},
  });
}

TEST(DaVinciLUTReaderTest, A33PointCubeWithTitleAndComments) {
  const auto outcome =
      ReadText<DaVinciLUTReader>("# Created by hand\nTITLE \"Warm\"\n\n# grid\nLUT_3D_SIZE 33\n\n" +
                                 CubeLines(33, [](double r, double g, double b) {
                                   return RgbTriple{r, g * g, 1 - b};
                                 }));
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  EXPECT_FALSE(outcome.data->lut1D);
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_EQ(cube.Size(), 33);
  EXPECT_EQ(cube.RangeMin(), 0.0);
  EXPECT_EQ(cube.RangeMax(), 1.0);
  const RgbTriple& point = cube.Samples()[32 * 33 * 33 + 16 * 33 + 8];  // (r 32, g 16, b 8)
  EXPECT_EQ(point.r, 1.0);
  EXPECT_EQ(point.g, 0.25);
  EXPECT_EQ(point.b, 0.75);
}

// The application sets the C library's locale from the environment: the ranges and samples
// must still be read with a decimal point.
TEST(DaVinciLUTReaderTest, RangesSizesAndOrderUnderADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_TRUE(test::UseDecimalCommaLocale()) << "scripts/setup generates de_DE.UTF-8";
  const auto outcome = ReadText<DaVinciLUTReader>(
      "LUT_1D_INPUT_RANGE 0 4\nLUT_1D_INPUT_RANGE 0.25 0.75\nLUT_3D_INPUT_RANGE -1e-1 .5\n"
      "LUT_1D_SIZE 9\nLUT_1D_SIZE 3\nLUT_3D_SIZE 2\n0 0.5 1\n0.1 0.6 1.1\n0.2 0.7 1.2\n\n" +
      kCube2);
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  const LUTData& curve = *outcome.data->lut1D;
  EXPECT_EQ(curve.Size(), 3);  // later keywords replace earlier ones
  EXPECT_EQ(curve.RangeMin(), 0.25);
  EXPECT_EQ(curve.RangeMax(), 0.75);
  EXPECT_EQ(curve.Samples()[2].b, 1.2);
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_EQ(cube.RangeMin(), -0.1);
  EXPECT_EQ(cube.RangeMax(), 0.5);
  EXPECT_EQ(cube.Samples()[4].r, 1.0);  // the second cube line: red index 1, at W^2
  EXPECT_EQ(cube.Samples()[1].b, 1.0);
}

TEST(DaVinciLUTReaderTest, HostileFiles) {
  std::mt19937 random(11);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string longest(LUTLineSource::kMaxLineBytes, ' ');
  const std::string overlong(4 << 20, 'x');
  ExpectStatuses({
      {"binary noise", noise, ReadStatus::ParseError},
      {"binary noise after a size", "LUT_3D_SIZE 2\n" + noise, ReadStatus::ParseError},
      {"a size of 100000 with data", "LUT_3D_SIZE 100000\n0 0 0\n1 1 1\n", ReadStatus::OutOfMemory},
      {"a 1D size of 100000 ending after two lines", "LUT_1D_SIZE 100000\n0 0 0\n1 1 1\n",
       ReadStatus::ParseError},
      {"a size beyond 64 bits", "LUT_3D_SIZE 123456789012345678901234567890\n0 0 0\n",
       ReadStatus::OutOfMemory},
      {"a title line longer than any line of a LUT", "TITLE " + overlong + "\n" + kCurve2,
       ReadStatus::ParseError},
      {"the longest line read", "TITLE" + longest.substr(5) + "\n" + kCurve2, ReadStatus::Success},
      {"an overlong line inside the table", "LUT_1D_SIZE 2\n0 0 0\n" + overlong + "\n",
       ReadStatus::ParseError},
      {"numbers after a NUL are not seen", std::string("LUT_1D_SIZE 2\n0 0\0 0\n1 1 1\n", 27),
       ReadStatus::ParseError},
  });
}

}  // namespace
}  // namespace velluma
