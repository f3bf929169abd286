// Baselight ".cub" files: each rule of the format as this program reads it, in a table of small
// files ending with their status, the values a good file yields, and hostile files.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lut/BaselightLUTReader.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::CubeLines;
using test::CurveLines;
using test::ReadText;

const RgbTriple kZero{0, 0, 0};

std::string TwoPointCube() {
  return CubeLines(2, [](double r, double g, double b) { return RgbTriple{r, g, b}; });
}

TEST(BaselightLUTReaderTest, StatusOfEachKindOfFile) {
  struct Case {
    const char* what;
    std::string content;
    ReadStatus status;
  };
  const std::string identityCurve = "0 0 0\n1 1 1\n";
  const Case cases[] = {
      {"input LUT only", "# lutLength 2\n\n# InputLUT\n" + identityCurve, ReadStatus::Success},
      {"cube only", "# width 2 2 2\n\n# Cube\n" + TwoPointCube(), ReadStatus::Success},
      {"both, blank lines before each marker, CR LF line ends",
       "# lutLength 2\r\n# width 2 2 2\r\n\r\n\r\n# InputLUT\r\n0 0 0\r\n1 1 1\r\n\r\n# Cube\r\n" +
           TwoPointCube(),
       ReadStatus::Success},
      {"header running straight into the marker: its first data line is no comment",
       "# lutLength 2\n# InputLUT\n" + identityCurve + "\n", ReadStatus::ParseError},
      {"header line without #", "# width 2 2 2\nwidth 2 2 2\n\n# Cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"file ending inside the header", "# width 2 2 2\n", ReadStatus::ParseError},
      {"neither table announced", "# Truelight Cube v2.0\n\n# Cube\n0 0 0\n",
       ReadStatus::ParseError},
      {"lutLength 0", "# lutLength 0\n# width 2 2 2\n\n# Cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"lutLength without a number", "# lutLength\n\n# InputLUT\n" + identityCurve,
       ReadStatus::ParseError},
      {"width 17 17 16", "# width 17 17 16\n\n# Cube\n0 0 0\n", ReadStatus::ParseError},
      {"width with two numbers", "# width 2 2\n\n# Cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"width 0 0 0", "# width 0 0 0\n\n# Cube\n", ReadStatus::ParseError},
      {"width read right after the keyword: a colon stops it",
       "# width: 2 2 2\n\n# Cube\n" + TwoPointCube(), ReadStatus::ParseError},
      {"every width line is checked, even one that a later line would replace",
       "# width 3 3 2\n# width 2 2 2\n\n# Cube\n" + TwoPointCube(), ReadStatus::ParseError},
      {"input-LUT marker missing", "# lutLength 2\n\n# Cube\n" + identityCurve,
       ReadStatus::ParseError},
      {"input-LUT marker without #", "# lutLength 2\n\nInputLUT\n" + identityCurve,
       ReadStatus::ParseError},
      {"cube marker missing", "# width 2 2 2\n\n" + TwoPointCube(), ReadStatus::ParseError},
      {"markers are case-sensitive", "# width 2 2 2\n\n# cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"cube one line short", "# width 2 2 2\n\n# Cube\n" + TwoPointCube().substr(6),
       ReadStatus::ParseError},
      {"input LUT one line short, cube follows",
       "# lutLength 3\n# width 2 2 2\n\n# InputLUT\n" + identityCurve + "# Cube\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"extra lines after the cube are not read",
       "# width 2 2 2\n\n# Cube\n" + TwoPointCube() + "garbage\n# more\n", ReadStatus::Success},
      {"comment inside the cube", "# width 2 2 2\n\n# Cube\n0 0 0\n# note\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"blank line inside the cube", "# width 2 2 2\n\n# Cube\n0 0 0\n\n" + TwoPointCube(),
       ReadStatus::ParseError},
      {"data line with two numbers", "# lutLength 2\n\n# InputLUT\n0 0\n1 1 1\n",
       ReadStatus::ParseError},
      {"data lines may carry more after the third number",
       "# lutLength 2\n\n# InputLUT\n0 0 0 0\n1 1 1 # white\n", ReadStatus::Success},
      {"size 1 is read (the conversion refuses it)", "# width 1 1 1\n\n# Cube\n0.5 0.5 0.5\n",
       ReadStatus::Success},
      {"last line without a line end", "# lutLength 2\n\n# InputLUT\n0 0 0\n1 1 1",
       ReadStatus::Success},
      {"empty file", "", ReadStatus::ParseError},
  };
  for (const auto& c : cases) {
    const auto outcome = ReadText<BaselightLUTReader>(c.content);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.data != nullptr, c.status == ReadStatus::Success) << c.what;
  }
}

TEST(BaselightLUTReaderTest, InputLutRunsFromZeroToWidthMinusOne) {
  // lutLength without width: a 1D table only, range 0..1.
  auto outcome = ReadText<BaselightLUTReader>("# lutLength 2\n\n# InputLUT\n0 0 0\n1 1 1\n");
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  ASSERT_TRUE(outcome.data->lut1D);
  EXPECT_FALSE(outcome.data->lut3D);
  EXPECT_TRUE(outcome.data->lut1D->Is1D());
  EXPECT_EQ(outcome.data->lut1D->RangeMin(), 0.0);
  EXPECT_EQ(outcome.data->lut1D->RangeMax(), 1.0);

  // width 33 and lutLength 1024: the input LUT's values run over 0..32, the cube's over 0..1.
  const auto identity = [](double r, double g, double b) { return RgbTriple{r, g, b}; };
  outcome = ReadText<BaselightLUTReader>(
      "# Truelight Cube v2.0\n# lutLength 1024\n# iDims 3\n# oDims 3\n# width 33 33 33\n\n"
      "# InputLUT\n" +
      CurveLines(1024,
                 [](double x) {
                   return RgbTriple{32 * x, 32 * x, 32 * x};
                 }) +
      "\n# Cube\n" + CubeLines(33, identity));
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  const LUTData& curve = *outcome.data->lut1D;
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_EQ(curve.Size(), 1024);
  EXPECT_EQ(curve.RangeMin(), 0.0);
  EXPECT_EQ(curve.RangeMax(), 32.0);
  EXPECT_EQ(curve.Samples()[1023].g, 32.0);
  EXPECT_TRUE(cube.Is3D());
  EXPECT_EQ(cube.Size(), 33);
  EXPECT_EQ(cube.Samples().size(), 33u * 33 * 33);
  EXPECT_EQ(cube.RangeMin(), 0.0);
  EXPECT_EQ(cube.RangeMax(), 1.0);

  // A later lutLength replaces an earlier one.
  outcome =
      ReadText<BaselightLUTReader>("# lutLength 5\n# lutLength 2\n\n# InputLUT\n0 0 0\n1 1 1\n");
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  EXPECT_EQ(outcome.data->lut1D->Size(), 2);
}

// Cube lines come red fastest; the samples are stored red slowest: the first line is point
// (0, 0, 0), the second red index 1, at index W^2.
TEST(BaselightLUTReaderTest, CubeLinesGoToTheirGridPoints) {
  const auto outcome = ReadText<BaselightLUTReader>("# width 3 3 3\n\n# Cube\n" +
                                                    CubeLines(3, [](double r, double g, double b) {
                                                      return RgbTriple{r, g + 10, b + 20};
                                                    }));
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  const auto samples = outcome.data->lut3D->Samples();
  EXPECT_EQ(samples[0].r, 0.0);
  EXPECT_EQ(samples[0].g, 10.0);
  EXPECT_EQ(samples[9].r, 0.5);  // line 1: red index 1
  EXPECT_EQ(samples[9].g, 10.0);
  EXPECT_EQ(samples[3].g, 10.5);  // line 3: green index 1
  EXPECT_EQ(samples[1].b, 20.5);  // line 9: blue index 1
  EXPECT_EQ(samples[26].r, 1.0);
  EXPECT_EQ(samples[26].b, 21.0);
}

TEST(BaselightLUTReaderTest, ArgumentsAndFileErrors) {
  test::TempDir dir;
  BaselightLUTReader reader;
  std::unique_ptr<LUTReadData> out;
  EXPECT_EQ(reader.Read("", &out), ReadStatus::BadArguments);
  dir.Write("good.cub", "# lutLength 2\n\n# InputLUT\n0 0 0\n1 1 1\n");
  EXPECT_EQ(reader.Read(dir.File("good.cub"), nullptr), ReadStatus::BadArguments);
  EXPECT_EQ(reader.Read(dir.File("missing.cub"), &out), ReadStatus::FileError);
  EXPECT_EQ(reader.Read(dir.Path().string(), &out), ReadStatus::FileError);  // a directory
  EXPECT_EQ(out, nullptr);

  // A failed read leaves an earlier result in place.
  ASSERT_EQ(reader.Read(dir.File("good.cub"), &out), ReadStatus::Success);
  const LUTReadData* earlier = out.get();
  dir.Write("bad.cub", "# lutLength 2\n\n# InputLUT\n0 0 0\n");
  EXPECT_EQ(reader.Read(dir.File("bad.cub"), &out), ReadStatus::ParseError);
  EXPECT_EQ(out.get(), earlier);
}

// Files no grading tool writes. Each ends with its status; the sanitizers check that nothing
// leaks and nothing is touched out of bounds on the way.
TEST(BaselightLUTReaderTest, HostileFiles) {
  std::mt19937 random(7);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string commentNoise = "# width 2 2 2\n# ";
  for (int i = 0; i < 4096; ++i) commentNoise += static_cast<char>(random() % 255 + 1);
  const std::string overlong(4 * 1024 * 1024, '7');

  struct Case {
    const char* what;
    std::string content;
    ReadStatus status;
  };
  const Case cases[] = {
      {"binary noise", noise, ReadStatus::ParseError},
      {"binary noise after a good header", "# width 2 2 2\n\n# Cube\n" + noise,
       ReadStatus::ParseError},
      {"noise in a header comment, header never ends", commentNoise, ReadStatus::ParseError},
      {"a cube of 100000 points per axis: far over the size limit",
       "# width 100000 100000 100000\n\n# Cube\n0 0 0\n", ReadStatus::OutOfMemory},
      {"an input LUT just over the size limit", "# lutLength 44739243\n\n# InputLUT\n0 0 0\n",
       ReadStatus::OutOfMemory},
      {"a cube of 2147483647 points per axis",
       "# width 2147483647 2147483647 2147483647\n\n# Cube\n0 0 0\n", ReadStatus::OutOfMemory},
      {"a width beyond 64 bits",
       "# width 99999999999999999999 99999999999999999999 99999999999999999999\n\n# Cube\n0 0 0\n",
       ReadStatus::OutOfMemory},
      {"a huge cube whose block has no line at all: the file ends first",
       "# width 100000 100000 100000\n\n# Cube\n", ReadStatus::ParseError},
      {"a cube of 350 points per axis (just under the limit) that ends after two lines",
       "# width 350 350 350\n\n# Cube\n0 0 0\n1 1 1\n", ReadStatus::ParseError},
      {"an input LUT of the largest allowed size that ends at once",
       "# lutLength 44739242\n\n# InputLUT\n0 0 0\n", ReadStatus::ParseError},
      {"an overlong header comment",
       "# lutLength 2\n# " + overlong + "\n\n# InputLUT\n0 0 0\n1 1 1\n", ReadStatus::Success},
      {"an overlong data line of digits (one number, too large for a double)",
       "# lutLength 2\n\n# InputLUT\n" + overlong + "\n1 1 1\n", ReadStatus::ParseError},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadText<BaselightLUTReader>(c.content).status, c.status) << c.what;
  }
}

}  // namespace
}  // namespace velluma
