// The whole load of a LUT file into a user memory's table, as the station's FileOpenProcLUT
// runs it: the reader chosen by the format text, the diagnosis line of each failure, the range
// checks, and a table that is either fully replaced or left exactly as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "lut/LUTFileError.h"
#include "lut/LUTFileLoad.h"
#include "tests/lut/LUTTestFiles.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::CubeLines;
using test::CurveLines;

constexpr const char* kDaVinci = "Davinci Resolve";  // what the settings dialog stores
constexpr const char* kBaselight = "Baselight";

// k/15 in 10-bit codes, worked out by hand.
constexpr int kGridCode[16] = {0,   68,  136, 205, 273, 341, 409, 477,
                               546, 614, 682, 750, 818, 887, 955, 1023};

RgbTriple Identity(double r, double g, double b) {
  return {r, g, b};
}

std::unique_ptr<MonitorLutTable> SevenTable() {
  auto table = std::make_unique<MonitorLutTable>();
  for (auto& channel : *table) channel.fill(7);
  return table;
}

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
  Load load{{}, {}, SevenTable()};
  std::ostringstream diagnosis;
  load.result = LoadLUTFile(dir.File("lut.file"), format, directTableMode, *load.table, diagnosis);
  load.diagnosis = diagnosis.str();
  return load;
}

TEST(LUTFileLoadTest, EachFailureWritesItsLineAndLeavesTheTableAlone) {
  struct Case {
    const char* what;
    std::optional<std::string> content;
    const char* format;
    std::string line;
  };
  const std::string cube2 = CubeLines(2, Identity);
  const std::string curve2 = "0 0 0\n1 1 1\n";
  const Case cases[] = {
      {"reader status 3", "LUT_3D_SIZE 2\n0 0 0\n", kDaVinci, "LUT file parse error."},
      {"reader status 2: no such file", std::nullopt, kDaVinci, "LUT file operation error."},
      {"reader status 4: a size over the limit", "LUT_3D_SIZE 100000\n0 0 0\n", kDaVinci,
       "LUT file operation error."},
      {"a Baselight file read as DaVinci Resolve: nothing announced",
       "# width 2 2 2\n\n# Cube\n" + cube2, kDaVinci, "LUT file parse error."},
      {"a DaVinci file read as Baselight: a header line without #", "LUT_3D_SIZE 2\n" + cube2,
       kBaselight, "LUT file parse error."},
      {"1D range up to 2", "LUT_1D_INPUT_RANGE 0.0 2.0\nLUT_1D_SIZE 2\n" + curve2, kDaVinci,
       "DaVinci 1D LUT Input Range is invalid ."},
      {"1D range from -0.5", "LUT_1D_INPUT_RANGE -0.5 1\nLUT_1D_SIZE 2\n" + curve2, kDaVinci,
       "DaVinci 1D LUT Input Range is invalid ."},
      {"3D range 0.0 2.0", "LUT_3D_INPUT_RANGE 0.0 2.0\nLUT_3D_SIZE 2\n" + cube2, kDaVinci,
       "DaVinci 3D LUT Input Range is invalid ."},
      {"both ranges bad: the 1D table is checked first",
       "LUT_1D_INPUT_RANGE 0 2\nLUT_3D_INPUT_RANGE 0 2\nLUT_1D_SIZE 2\nLUT_3D_SIZE 2\n" + curve2 +
           cube2,
       kDaVinci, "DaVinci 1D LUT Input Range is invalid ."},
      {"DaVinci 1D table of one entry", "LUT_1D_SIZE 1\n0.5 0.5 0.5\n", kDaVinci,
       "1D LUT convert error."},
      {"DaVinci cube of one point", "LUT_3D_SIZE 1\n0.5 0.5 0.5\n", kDaVinci,
       "3D LUT convert error."},
      {"a good 1D table, then a cube of one point",
       "LUT_1D_SIZE 2\nLUT_3D_SIZE 1\n" + curve2 + "0.5 0.5 0.5\n", kDaVinci,
       "3D LUT convert error."},
      {"Baselight input LUT of one entry", "# lutLength 1\n\n# InputLUT\n0.5 0.5 0.5\n", kBaselight,
       "1D LUT convert error."},
      {"Baselight cube of one point", "# width 1 1 1\n\n# Cube\n0.5 0.5 0.5\n", kBaselight,
       "3D LUT convert error."},
      {"direct table with a value that does not fit three hexadecimal digits", "1,2,3\n70000,0,0\n",
       nullptr, "LUT table value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Load load = LoadText(c.content, c.format ? c.format : kDaVinci, c.format == nullptr);
    EXPECT_EQ(load.result.code, 1);
    EXPECT_EQ(load.result.message, c.line);
    EXPECT_EQ(load.diagnosis, c.line + "\n");
    EXPECT_EQ(*load.table, *SevenTable());
  }
}

TEST(LUTFileLoadTest, DaVinciIdentityCube) {
  const Load load = LoadText("TITLE \"id\"\nLUT_3D_SIZE 33\n" + CubeLines(33, Identity), kDaVinci);
  EXPECT_EQ(load.result.code, 0);
  EXPECT_EQ(load.result.message, "");
  EXPECT_EQ(load.diagnosis, "");
  const MonitorLutTable& table = *load.table;
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    ASSERT_EQ(table[0][e], kGridCode[e % 16]) << e;
    ASSERT_EQ(table[1][e], kGridCode[e / 16 % 16]) << e;
    ASSERT_EQ(table[2][e], kGridCode[e / 256]) << e;
  }
  EXPECT_EQ(table[0][1], 68);
  EXPECT_EQ(table[1][1], 0);
  EXPECT_EQ(table[2][1], 0);
}

TEST(LUTFileLoadTest, BaselightInputLutIsNormalisedAndItsRangeNotChecked) {
  // width 17: the input LUT runs over 0..16 (no range check for Baselight); here it inverts
  // red. The cube is the identity.
  const std::string file = "# lutLength 17\n# width 17 17 17\n\n# InputLUT\n" +
                           CurveLines(17,
                                      [](double x) {
                                        return RgbTriple{16 - 16 * x, 16 * x, 16 * x};
                                      }) +
                           "\n# Cube\n" + CubeLines(17, Identity);
  const Load load = LoadText(file, kBaselight);
  ASSERT_EQ(load.result.code, 0);
  EXPECT_EQ(load.diagnosis, "");
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    ASSERT_EQ((*load.table)[0][e], kGridCode[15 - e % 16]) << e;
    ASSERT_EQ((*load.table)[1][e], kGridCode[e / 16 % 16]) << e;
  }
  // Any other format text means DaVinci Resolve, even one close to "Baselight".
  EXPECT_EQ(LoadText(file, "baselight").result.message, "LUT file parse error.");
}

TEST(LUTFileLoadTest, OneDimensionalTableOnly) {
  const Load half = LoadText("LUT_1D_SIZE 3\n0.5 0.5 0.5\n0.5 0.5 0.5\n0.5 0.5 0.5\n", kDaVinci);
  ASSERT_EQ(half.result.code, 0);
  for (const auto& channel : *half.table) {
    for (int code : channel) ASSERT_EQ(code, 512);
  }
}

TEST(LUTFileLoadTest, DirectTableMode) {
  const Load load = LoadText("0,0,0\n0,0,0\n0,0,0\n0,0,0\n0,0,0\n100,200,300\n", kBaselight, true);
  EXPECT_EQ(load.result.code, 0);
  EXPECT_EQ(load.diagnosis, "");
  EXPECT_EQ((*load.table)[2][5], 300);
  EXPECT_EQ((*load.table)[2][6], 7);

  // A file that cannot be opened is the top-level handler's: nothing written, table untouched.
  test::TempDir dir;
  auto table = SevenTable();
  std::ostringstream diagnosis;
  EXPECT_THROW(LoadLUTFile(dir.File("missing.csv"), kDaVinci, true, *table, diagnosis),
               LUTFileError);
  EXPECT_EQ(diagnosis.str(), "");
  EXPECT_EQ(*table, *SevenTable());
}

// A 65-point cube (274625 lines) read and converted. An optimised build takes under 0.1 s; the
// sanitizer build about ten times that, so the bound here only catches a load that has become
// slow by its way of working (say, quadratic in the lines).
TEST(LUTFileLoadTest, A65PointCubeLoadsQuickly) {
  test::TempDir dir;
  dir.Write("big.cube", "LUT_3D_SIZE 65\n" + CubeLines(65, Identity));
  auto table = SevenTable();
  std::ostringstream diagnosis;
  const auto start = std::chrono::steady_clock::now();
  const LUTLoadResult result =
      LoadLUTFile(dir.File("big.cube"), kDaVinci, false, *table, diagnosis);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::cout << "[ time ] 65-point cube read and converted in " << took.count() << " s\n";
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ((*table)[2][4095], 1023);
  EXPECT_LT(took.count(), 10.0);
}

}  // namespace
}  // namespace velluma
