// Baselight ".cub" files: a commented table of small files ending with their status, the
// values a good file yields, and hostile files.
#include <gtest/gtest.h>

#include <random>

#include "lut/BaselightLUTReader.h"
#include "tests/lut/LUTTestFiles.h"

namespace velluma {
namespace {

using test::CubeLines;
using test::ReadText;

const std::string kCube2 = CubeLines(2, test::Identity);  // 8 lines
const std::string kCurve2 = "0 0 0\n1 1 1\n";

void ExpectStatuses(const std::vector<test::StatusCase>& cases) {
  test::ExpectStatuses<BaselightLUTReader>(cases);
}

TEST(BaselightLUTReaderTest, StatusOfEachKindOfFile) {
  ExpectStatuses({
      {"both tables, blank lines before each marker, CR LF line ends",
       "# lutLength 2\r\n# width 2 2 2\r\n\r\n\r\n# InputLUT\r\n0 0 0\r\n1 1 1\r\n\r\n# Cube\r\n" +
           kCube2,
       ReadStatus::Success},
      // The marker is taken as a header line; the first data line then fails the "#" rule.
      {"header running into the marker", "# lutLength 2\n# InputLUT\n" + kCurve2 + "\n",
       ReadStatus::ParseError},
      {"file ending inside the header", "# width 2 2 2\n", ReadStatus::ParseError},
      {"neither table announced", "# Truelight Cube v2.0\n\n# Cube\n0 0 0\n",
       ReadStatus::ParseError},
      {"lutLength 0", "# lutLength 0\n# width 2 2 2\n\n# Cube\n" + kCube2, ReadStatus::ParseError},
      {"width 17 17 16", "# width 17 17 16\n\n# Cube\n0 0 0\n", ReadStatus::ParseError},
      {"width with two numbers", "# width 2 2\n\n# Cube\n" + kCube2, ReadStatus::ParseError},
      {"a colon after the keyword stops the numbers", "# width: 2 2 2\n\n# Cube\n" + kCube2,
       ReadStatus::ParseError},
      {"every width line is checked, even a replaced one",
       "# width 3 3 2\n# width 2 2 2\n\n# Cube\n" + kCube2, ReadStatus::ParseError},
      {"input-LUT marker missing", "# lutLength 2\n\n# Cube\n" + kCurve2, ReadStatus::ParseError},
      {"cube marker without #", "# width 2 2 2\n\nCube\n" + kCube2, ReadStatus::ParseError},
      {"cube one line short", "# width 2 2 2\n\n# Cube\n" + kCube2.substr(6),
       ReadStatus::ParseError},
      {"extra lines after the cube are not read", "# width 2 2 2\n\n# Cube\n" + kCube2 + "x\n",
       ReadStatus::Success},
      {"comment inside the cube", "# width 2 2 2\n\n# Cube\n0 0 0\n# note\n" + kCube2,
       ReadStatus::ParseError},
      {"data line with two numbers", "# lutLength 2\n\n# InputLUT\n0 0\n1 1 1\n",
       ReadStatus::ParseError},
      {"size 1 is read (the conversion refuses it)", "# width 1 1 1\n\n# Cube\n0.5 0.5 0.5",
       ReadStatus::Success},
  });
}

TEST(BaselightLUTReaderTest, RangesAndGridOrder) {
  // lutLength without width: a 1D table only, over 0..1; a later lutLength replaces.
  auto outcome =
      ReadText<BaselightLUTReader>("# lutLength 5\n# lutLength 2\n\n# InputLUT\n" + kCurve2);
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  EXPECT_FALSE(outcome.data->lut3D);
  EXPECT_EQ(outcome.data->lut1D->Size(), 2);
  EXPECT_EQ(outcome.data->lut1D->RangeMax(), 1.0);

  // width 33 with lutLength 1024: the input LUT runs over 0..32, the cube over 0..1. Cube lines
  // come red fastest and are stored red slowest: line 1 is red index 1, at index 33^2.
  outcome = ReadText<BaselightLUTReader>(
      "# Truelight Cube v2.0\n# lutLength 1024\n# iDims 3\n# width 33 33 33\n\n# InputLUT\n" +
      test::CurveLines(1024,
                       [](double x) {
                         return RgbTriple{32 * x, 32 * x, 32 * x};
                       }) +
      "\n# Cube\n" + CubeLines(33, [](double r, double g, double b) {
        return RgbTriple{r, g + 10, b + 20};
      }));
  ASSERT_EQ(outcome.status, ReadStatus::Success);
  const LUTData& curve = *outcome.data->lut1D;
  EXPECT_TRUE(curve.Is1D());
  EXPECT_EQ(curve.Size(), 1024);
  EXPECT_EQ(curve.RangeMin(), 0.0);
  EXPECT_EQ(curve.RangeMax(), 32.0);
  const LUTData& cube = *outcome.data->lut3D;
  EXPECT_TRUE(cube.Is3D());
  EXPECT_EQ(cube.RangeMax(), 1.0);
  ASSERT_EQ(cube.Samples().size(), 33u * 33 * 33);
  EXPECT_EQ(cube.Samples()[0].g, 10.0);            // line 0: point (0, 0, 0)
  EXPECT_EQ(cube.Samples()[33 * 33].r, 1.0 / 32);  // line 1: red index 1
  EXPECT_EQ(cube.Samples()[1].b, 20 + 1.0 / 32);   // line 33 * 33: blue index 1
}

TEST(BaselightLUTReaderTest, ArgumentsAndFileErrors) {
  std::istringstream good("# lutLength 2\n\n# InputLUT\n" + kCurve2);
  std::istringstream bad("# lutLength 2\n\n# InputLUT\n0 0 0\n");
  BaselightLUTReader reader;
  std::unique_ptr<LUTReadData> out;
  EXPECT_EQ(reader.Read(good, nullptr), ReadStatus::BadArguments);
  // A file that cannot be opened never reaches a reader (LUTFileLoadTest); one whose stream
  // fails is a file error.
  test::FailingStream failing("# lutLength 2\n\n# InputLUT\n0 0 0\n", 20);
  EXPECT_EQ(reader.Read(failing.Stream(), &out), ReadStatus::FileError);
  EXPECT_EQ(reader.FailureCause(), "Read error");
  // A failed read leaves an earlier result in place.
  ASSERT_EQ(reader.Read(good, &out), ReadStatus::Success);
  const LUTReadData* earlier = out.get();
  EXPECT_EQ(reader.Read(bad, &out), ReadStatus::ParseError);
  EXPECT_EQ(out.get(), earlier);
}

// Files no grading tool writes; the sanitizers watch for leaks and stray accesses.
TEST(BaselightLUTReaderTest, HostileFiles) {
  std::mt19937 random(7);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string longest(LUTLineSource::kMaxLineBytes, ' ');
  const std::string overlong(4 << 20, '7');
  ExpectStatuses({
      {"binary noise", noise, ReadStatus::ParseError},
      {"binary noise after a good header", "# width 2 2 2\n\n# Cube\n" + noise,
       ReadStatus::ParseError},
      {"100000 points per axis, over the 1 GiB limit",
       "# width 100000 100000 100000\n\n# Cube\n0 0 0\n", ReadStatus::OutOfMemory},
      {"an input LUT one entry over the limit", "# lutLength 44739243\n\n# InputLUT\n0 0 0\n",
       ReadStatus::OutOfMemory},
      {"a width beyond 64 bits",
       "# width 99999999999999999999 99999999999999999999 99999999999999999999\n\n# Cube\n0 0 0\n",
       ReadStatus::OutOfMemory},
      // The size is judged when the block's first line arrives; here none does.
      {"a huge cube whose block is empty", "# width 100000 100000 100000\n\n# Cube\n",
       ReadStatus::ParseError},
      // Allowed sizes whose lines never come: the unwritten arrays cost no memory.
      {"350 points per axis, 1.03 GB, ending after two lines",
       "# width 350 350 350\n\n# Cube\n0 0 0\n1 1 1\n", ReadStatus::ParseError},
      {"the largest input LUT allowed, ending at once",
       "# lutLength 44739242\n\n# InputLUT\n0 0 0\n", ReadStatus::ParseError},
      {"a header comment longer than any line of a LUT",
       "# lutLength 2\n# " + overlong + "\n\n# InputLUT\n" + kCurve2, ReadStatus::ParseError},
      {"the longest line read",
       "# lutLength 2\n#" + longest.substr(1) + "\n\n# InputLUT\n" + kCurve2, ReadStatus::Success},
      {"an overlong data line: one number, too large for a double",
       "# lutLength 2\n\n# InputLUT\n" + overlong + "\n1 1 1\n", ReadStatus::ParseError},
  });
}

}  // namespace
}  // namespace velluma
