// The whole load of a LUT file into one user memory's table, as the station's LoadLut
// runs it: the reader chosen by the format text, the diagnosis line of each failure, and a
// table that is either fully replaced or left exactly as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <sstream>

#include "lut/LUTFileError.h"
#include "lut/LUTFileLoad.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/CpuTime.h"

namespace velluma {
namespace {

using test::CubeLines;

constexpr const char* kDaVinci = "Davinci Resolve";  // what the settings dialog stores
constexpr const char* kBaselight = "Baselight";

struct Load {
  LUTLoadResult result;
  std::string diagnosis;
  std::unique_ptr<MonitorLutTable> table;
};

// Loads `content` (none: a path that does not exist) into a table of sevens.
Load LoadText(const std::optional<std::string>& content, std::string_view format,
              bool directTableMode = false) {
  test::TempDir dir;
  if (content) dir.Write("lut.file", *content);
  Load load{{}, {}, test::SevenTable()};
  std::ostringstream diagnosis;
  load.result = LoadLUTFile(dir.File("lut.file"), format, directTableMode, *load.table, diagnosis);
  load.diagnosis = diagnosis.str();
  return load;
}

TEST(LUTFileLoadTest, EachFailureWritesItsLineAndLeavesTheTableAlone) {
  struct Case {
    std::optional<std::string> content;
    const char* format;  // none: direct table mode
    std::string line;
  };
  const std::string cube2 = CubeLines(2, test::Identity);
  const std::string curve2 = "0 0 0\n1 1 1\n";
  const Case cases[] = {
      // Reader statuses: 3, 2 (no such file), 4 (over the size limit).
      {"LUT_3D_SIZE 2\n0 0 0\n", kDaVinci, "LUT file parse error."},
      {std::nullopt, kDaVinci, "LUT file operation error."},
      {"LUT_3D_SIZE 100000\n0 0 0\n", kDaVinci, "LUT file operation error."},
      // The format text chooses the reader, never the content.
      {"# width 2 2 2\n\n# Cube\n" + cube2, kDaVinci, "LUT file parse error."},
      {"LUT_3D_SIZE 2\n" + cube2, kBaselight, "LUT file parse error."},
      // DaVinci Resolve ranges must lie in 0..1; the 1D table is checked first.
      {"LUT_1D_INPUT_RANGE -0.5 1\nLUT_1D_SIZE 2\n" + curve2, kDaVinci,
       "DaVinci 1D LUT Input Range is invalid ."},
      {"LUT_3D_INPUT_RANGE 0.0 2.0\nLUT_3D_SIZE 2\n" + cube2, kDaVinci,
       "DaVinci 3D LUT Input Range is invalid ."},
      {"LUT_1D_INPUT_RANGE 0 2\nLUT_3D_INPUT_RANGE 0 2\nLUT_1D_SIZE 2\nLUT_3D_SIZE 2\n" + curve2 +
           cube2,
       kDaVinci, "DaVinci 1D LUT Input Range is invalid ."},
      // Tables of one entry or point cannot be converted; a good 1D table does not save them.
      {"LUT_1D_SIZE 1\n0.5 0.5 0.5\n", kDaVinci, "1D LUT convert error."},
      {"LUT_1D_SIZE 2\nLUT_3D_SIZE 1\n" + curve2 + "0.5 0.5 0.5\n", kDaVinci,
       "3D LUT convert error."},
      {"# lutLength 1\n\n# InputLUT\n0.5 0.5 0.5\n", kBaselight, "1D LUT convert error."},
      {"# width 1 1 1\n\n# Cube\n0.5 0.5 0.5\n", kBaselight, "3D LUT convert error."},
      {"1,2,3\n70000,0,0\n", nullptr, "LUT table value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line + " from " + c.content.value_or("(no file)").substr(0, 40));
    const Load load = LoadText(c.content, c.format ? c.format : kDaVinci, c.format == nullptr);
    EXPECT_EQ(load.result.code, 1);
    EXPECT_EQ(load.result.message, c.line);
    EXPECT_EQ(load.diagnosis, c.line + "\n");
    EXPECT_EQ(*load.table, *test::SevenTable());
  }
}

TEST(LUTFileLoadTest, DaVinciIdentityCube) {
  const Load load =
      LoadText("TITLE \"id\"\nLUT_3D_SIZE 17\n" + CubeLines(17, test::Identity), kDaVinci);
  EXPECT_EQ(load.result.code, 0);
  EXPECT_EQ(load.result.message, "");
  EXPECT_EQ(load.diagnosis, "");
  const MonitorLutTable& table = *load.table;
  EXPECT_EQ(table[0][1], 68);  // entry 1: red index 1
  EXPECT_EQ(table[1][1], 0);
  EXPECT_EQ(table[2][1], 0);
  EXPECT_EQ(table[1][16 * 7], test::kGridCode[7]);
  EXPECT_EQ(table[0][0], 0);
  EXPECT_EQ(table[2][4095], 1023);
}

TEST(LUTFileLoadTest, BaselightInputLutIsNormalisedWithoutARangeCheck) {
  // width 17: the input LUT runs over 0..16; here it inverts red. The cube is the identity.
  const std::string file = "# lutLength 17\n# width 17 17 17\n\n# InputLUT\n" +
                           test::CurveLines(17,
                                            [](double x) {
                                              return RgbTriple{16 - 16 * x, 16 * x, 16 * x};
                                            }) +
                           "\n# Cube\n" + CubeLines(17, test::Identity);
  const Load load = LoadText(file, kBaselight);
  ASSERT_EQ(load.result.code, 0);
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    ASSERT_EQ((*load.table)[0][e], test::kGridCode[15 - e % 16]) << e;
    ASSERT_EQ((*load.table)[1][e], test::kGridCode[e / 16 % 16]) << e;
  }
  // Any other format text means DaVinci Resolve, even one close to "Baselight".
  EXPECT_EQ(LoadText(file, "baselight").result.message, "LUT file parse error.");
}

TEST(LUTFileLoadTest, DirectTableMode) {
  const Load load = LoadText("0,0,0\n0,0,0\n0,0,0\n0,0,0\n0,0,0\n100,200,300\n", kBaselight, true);
  EXPECT_EQ(load.result.code, 0);
  EXPECT_EQ(load.diagnosis, "");
  EXPECT_EQ((*load.table)[2][5], 300);
  EXPECT_EQ((*load.table)[2][6], 7);
  // A file that cannot be opened is for the top-level handler: nothing written, table as it was.
  test::TempDir dir;
  auto table = test::SevenTable();
  std::ostringstream diagnosis;
  EXPECT_THROW(LoadLUTFile(dir.File("missing.csv"), kDaVinci, true, *table, diagnosis),
               LUTFileError);
  EXPECT_EQ(diagnosis.str(), "");
  EXPECT_EQ(*table, *test::SevenTable());
}

// A 65-point cube (274625 lines) read and converted. An optimised build takes under 0.1 s, the
// sanitizer build about ten times that: the bound only catches a load slow by its way of
// working (say, quadratic in the lines).
TEST(LUTFileLoadTest, A65PointCubeLoadsQuickly) {
  test::TempDir dir;
  dir.Write("big.cube", "LUT_3D_SIZE 65\n" + CubeLines(65, test::Identity));
  auto table = test::SevenTable();
  std::ostringstream diagnosis;
  const auto start = test::ThreadCpuTime();
  const auto result = LoadLUTFile(dir.File("big.cube"), kDaVinci, false, *table, diagnosis);
  const std::chrono::duration<double> took = test::ThreadCpuTime() - start;
  std::cout << "[ time ] 65-point cube read and converted in " << took.count()
            << " s of processor time\n";
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ((*table)[2][4095], 1023);
  EXPECT_LT(took.count(), 10.0);
}

}  // namespace
}  // namespace velluma
