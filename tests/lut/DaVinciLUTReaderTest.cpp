// DaVinci Resolve ".cube" files: each rule of the format as this program reads it, in a table of
// small files ending with their status, the values a good file yields, and hostile files.
#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <string>

#include "lut/DaVinciLUTReader.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::CubeLines;
using test::ReadText;

std::string TwoPointCube() {
  return CubeLines(2, [](double r, double g, double b) { return RgbTriple{r, g, b}; });
}

TEST(DaVinciLUTReaderTest, StatusOfEachKindOfFile) {
  struct Case {
    const char* what;
    std::string content;
    ReadStatus status;
  };
  const std::string cube = "LUT_3D_SIZE 2\n" + TwoPointCube();
  const std::string curve = "LUT_1D_SIZE 2\n0 0 0\n1 1 1\n";
  const Case cases[] = {
      {"3D table only", cube, ReadStatus::Success},
      {"1D table only", curve, ReadStatus::Success},
      {"both, blank lines between them",
       "LUT_1D_SIZE 2\nLUT_3D_SIZE 2\n0 0 0\n1 1 1\n\n\n" + TwoPointCube(), ReadStatus::Success},
      {"title, comments, blank lines and CR LF line ends in the header",
       "TITLE \"Look 1\"\r\n# made by hand\r\n\r\nLUT_3D_SIZE 2\r\n" + TwoPointCube(),
       ReadStatus::Success},
      {"other software's keywords are skipped like titles",
       "DOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\n" + cube, ReadStatus::Success},
      {"a keyword anywhere in the line", "grid: LUT_3D_SIZE 2 points\n" + TwoPointCube(),
       ReadStatus::Success},
      {"the number must follow the keyword", "LUT_3D_SIZE is 2\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"a keyword in a comment is a comment", "# LUT_3D_SIZE 2\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"keywords are case-sensitive", "lut_3d_size 2\n" + TwoPointCube(), ReadStatus::ParseError},
      {"no size: data lines but nothing announced", TwoPointCube(), ReadStatus::ParseError},
      {"a size but no data line", "LUT_3D_SIZE 2\n# nothing\n", ReadStatus::ParseError},
      {"empty file", "", ReadStatus::ParseError},
      {"LUT_3D_SIZE 0", "LUT_3D_SIZE 0\n" + TwoPointCube(), ReadStatus::ParseError},
      {"LUT_3D_SIZE -2", "LUT_3D_SIZE -2\n" + TwoPointCube(), ReadStatus::ParseError},
      {"LUT_1D_SIZE without a number", "LUT_1D_SIZE\n0 0 0\n1 1 1\n", ReadStatus::ParseError},
      {"LUT_1D_INPUT_RANGE 1.0 0.0", "LUT_1D_INPUT_RANGE 1.0 0.0\n" + curve,
       ReadStatus::ParseError},
      {"LUT_1D_INPUT_RANGE 0.5 0.5", "LUT_1D_INPUT_RANGE 0.5 0.5\n" + curve,
       ReadStatus::ParseError},
      {"LUT_3D_INPUT_RANGE with one number", "LUT_3D_INPUT_RANGE 0.0\n" + cube,
       ReadStatus::ParseError},
      {"LUT_3D_INPUT_RANGE nan 1", "LUT_3D_INPUT_RANGE nan 1\n" + cube, ReadStatus::ParseError},
      {"a range outside 0..1 is read (the conversion refuses it)",
       "LUT_3D_INPUT_RANGE 0.0 2.0\n" + cube, ReadStatus::Success},
      {"a keyword after the first data line is a bad data line",
       "LUT_1D_SIZE 2\n0 0 0\nLUT_3D_SIZE 2\n1 1 1\n", ReadStatus::ParseError},
      {"cube one line short", "LUT_3D_SIZE 2\n" + TwoPointCube().substr(6), ReadStatus::ParseError},
      {"extra lines after the cube are not read", cube + "0 0 0\nanything\n", ReadStatus::Success},
      {"comment inside the cube", "LUT_3D_SIZE 2\n0 0 0\n# note\n" + TwoPointCube().substr(6),
       ReadStatus::ParseError},
      {"blank line inside the cube", "LUT_3D_SIZE 2\n0 0 0\n\n" + TwoPointCube().substr(6),
       ReadStatus::ParseError},
      {"comment between the 1D and 3D tables",
       "LUT_1D_SIZE 2\nLUT_3D_SIZE 2\n0 0 0\n1 1 1\n# cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"1D table one line short, the cube's lines taken for it, then the file ends",
       "LUT_1D_SIZE 3\nLUT_3D_SIZE 2\n0 0 0\n1 1 1\n" + TwoPointCube(), ReadStatus::ParseError},
      {"a decimal comma ends the number: ',5' is no second number",
       "LUT_1D_SIZE 2\n0,5 0,5 0,5\n1 1 1\n", ReadStatus::ParseError},
      {"size 1 is read (the conversion refuses it)", "LUT_3D_SIZE 1\n0.5 0.5 0.5\n",
       ReadStatus::Success},
  };
  for (const auto& c : cases) {
    const auto outcome = ReadText<DaVinciLUTReader>(c.content);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.data != nullptr, c.status == ReadStatus::Success) << c.what;
  }
}

TEST(DaVinciLUTReaderTest, A33PointCubeWithTitleAndComments) {
  const auto outcome =
      ReadText<DaVinciLUTReader>("# Created by hand\nTITLE \"Warm\"\n\n# grid\nLUT_3D_SIZE 33\n\n" +
                                 CubeLines(33, [](double r, double g, double b) {
                                   return RgbTriple{r, g * g, 1 - b};
                                 }));
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  EXPECT_FALSE(outcome.data->lut1D);
  ASSERT_TRUE(outcome.data->lut3D);
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_TRUE(cube.Is3D());
  EXPECT_EQ(cube.Size(), 33);
  EXPECT_EQ(cube.RangeMin(), 0.0);
  EXPECT_EQ(cube.RangeMax(), 1.0);
  ASSERT_EQ(cube.Samples().size(), 33u * 33 * 33);
  // Grid point (r 32, g 16, b 8) at 32*33^2 + 16*33 + 8.
  const RgbTriple& point = cube.Samples()[32 * 33 * 33 + 16 * 33 + 8];
  EXPECT_EQ(point.r, 1.0);
  EXPECT_EQ(point.g, 0.25);
  EXPECT_EQ(point.b, 0.75);
}

TEST(DaVinciLUTReaderTest, RangesSizesAndOrder) {
  const auto outcome = ReadText<DaVinciLUTReader>(
      "LUT_1D_INPUT_RANGE 0 4\nLUT_1D_INPUT_RANGE 0.25 0.75\nLUT_3D_INPUT_RANGE -1e-1 .5\n"
      "LUT_1D_SIZE 9\nLUT_1D_SIZE 3\nLUT_3D_SIZE 2\n"
      "0 0.5 1\n0.1 0.6 1.1\n0.2 0.7 1.2\n\n" +
      TwoPointCube());
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  const LUTData& curve = *outcome.data->lut1D;
  EXPECT_TRUE(curve.Is1D());
  EXPECT_EQ(curve.Size(), 3);  // the later size replaces the earlier
  EXPECT_EQ(curve.RangeMin(), 0.25);
  EXPECT_EQ(curve.RangeMax(), 0.75);
  EXPECT_EQ(curve.Samples()[0].g, 0.5);
  EXPECT_EQ(curve.Samples()[2].b, 1.2);
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_EQ(cube.RangeMin(), -0.1);
  EXPECT_EQ(cube.RangeMax(), 0.5);
  // The first cube line is point (0, 0, 0); the second red index 1, at index W^2 = 4.
  EXPECT_EQ(cube.Samples()[0].r, 0.0);
  EXPECT_EQ(cube.Samples()[4].r, 1.0);
  EXPECT_EQ(cube.Samples()[4].g, 0.0);
  EXPECT_EQ(cube.Samples()[1].b, 1.0);
}

TEST(DaVinciLUTReaderTest, ReadsTheDecimalPointUnderADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "scripts/setup generates de_DE.UTF-8";
  const auto outcome = ReadText<DaVinciLUTReader>(
      "LUT_1D_INPUT_RANGE 0.25 0.75\nLUT_1D_SIZE 2\n0.5 0.25 0.125\n1 1 1\n");
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  EXPECT_EQ(outcome.data->lut1D->RangeMin(), 0.25);
  EXPECT_EQ(outcome.data->lut1D->Samples()[0].b, 0.125);
}

TEST(DaVinciLUTReaderTest, ArgumentsAndFileErrors) {
  test::TempDir dir;
  DaVinciLUTReader reader;
  std::unique_ptr<LUTReadData> out;
  dir.Write("good.cube", "LUT_1D_SIZE 2\n0 0 0\n1 1 1\n");
  EXPECT_EQ(reader.Read("", &out), ReadStatus::BadArguments);
  EXPECT_EQ(reader.Read(dir.File("good.cube"), nullptr), ReadStatus::BadArguments);
  EXPECT_EQ(reader.Read(dir.File("missing.cube"), &out), ReadStatus::FileError);
  EXPECT_EQ(reader.Read(dir.Path().string(), &out), ReadStatus::FileError);
  EXPECT_EQ(out, nullptr);
}

TEST(DaVinciLUTReaderTest, HostileFiles) {
  std::mt19937 random(11);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string overlong(4 * 1024 * 1024, 'x');
  struct Case {
    const char* what;
    std::string content;
    ReadStatus status;
  };
  const Case cases[] = {
      {"binary noise", noise, ReadStatus::ParseError},
      {"binary noise after a size", "LUT_3D_SIZE 2\n" + noise, ReadStatus::ParseError},
      {"a size of 100000 with data", "LUT_3D_SIZE 100000\n0 0 0\n1 1 1\n", ReadStatus::OutOfMemory},
      {"a 1D size of 100000 that ends after two lines", "LUT_1D_SIZE 100000\n0 0 0\n1 1 1\n",
       ReadStatus::ParseError},
      {"a cube of 350 points per axis (just under the limit) that ends after two lines",
       "LUT_3D_SIZE 350\n0 0 0\n1 1 1\n", ReadStatus::ParseError},
      {"a size beyond 64 bits", "LUT_3D_SIZE 123456789012345678901234567890\n0 0 0\n",
       ReadStatus::OutOfMemory},
      {"an overlong title line", "TITLE " + overlong + "\n" + "LUT_1D_SIZE 2\n0 0 0\n1 1 1\n",
       ReadStatus::Success},
      {"an overlong line inside the table", "LUT_1D_SIZE 2\n0 0 0\n" + overlong + "\n",
       ReadStatus::ParseError},
      {"NUL bytes: numbers after a NUL are not seen",
       std::string("LUT_1D_SIZE 2\n0 0\0 0\n1 1 1\n", 27), ReadStatus::ParseError},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadText<DaVinciLUTReader>(c.content).status, c.status) << c.what;
  }
}

}  // namespace
}  // namespace velluma
