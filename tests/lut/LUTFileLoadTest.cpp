// The whole load of a LUT file into one user memory's table, as the station's LoadLut
// runs it: the reader chosen by the format text, the diagnosis line of each failure, and a
// table that is either fully replaced or left exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

#include "lut/DaVinciLUTReader.h"
#include "lut/LUTConversion.h"
#include "lut/LUTFileError.h"
#include "lut/LUTFileLoad.h"
#include "platform/FileStreamBuffer.h"
#include "platform/Utf8Path.h"
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
  load.result =
      test::LoadFile(dir.File("lut.file"), format, directTableMode, *load.table, diagnosis);
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
  EXPECT_THROW(test::LoadFile(dir.File("missing.csv"), kDaVinci, true, *table, diagnosis),
               LUTFileError);
  EXPECT_EQ(diagnosis.str(), "");
  EXPECT_EQ(*table, *test::SevenTable());
}

// The caller opens the file; what it could not open, or could not read to the end, is the
// reader's file error: the operation error line, with the system's reason as its cause.
TEST(LUTFileLoadTest, AFileThatCannotBeOpenedOrReadIsAnOperationErrorWithItsCause) {
  test::TempDir dir;
  const std::string cube = "LUT_3D_SIZE 2\n" + CubeLines(2, test::Identity);
  struct Case {
    const char* what;
    std::function<LUTLoadResult(MonitorLutTable&, std::ostream&)> load;
    std::string cause;
  };
  const Case cases[] = {
      {"no such file",
       [&](auto& table, auto& out) {
         return test::LoadFile(dir.File("missing.cube"), kDaVinci, false, table, out);
       },
       "No such file or directory"},
      {"a folder",
       [&](auto& table, auto& out) {
         return test::LoadFile(dir.Path().string(), kDaVinci, false, table, out);
       },
       "Is a directory"},
      {"no name, as a reader always refused it",
       [&](auto& table, auto& out) { return test::LoadFile("", kDaVinci, false, table, out); }, ""},
      {"a read that fails in the cube",
       [&](auto& table, auto& out) {
         test::FailingStream failing(cube, 30);
         return LoadLUTFile({"t.cube", &failing.Stream(), ""}, kDaVinci, false, table, out);
       },
       "Read error"},
      {"a read that fails, from a stream that raises",
       [&](auto& table, auto& out) {
         test::FailingStream failing(cube, 30);
         failing.Stream().exceptions(std::ios_base::badbit);
         return LoadLUTFile({"t.cube", &failing.Stream(), ""}, kDaVinci, false, table, out);
       },
       "Read error"},
#ifndef _WIN32
      // A folder opened as a C file reads with an error at once: the platform's stream over a
      // file passes a failed read on as one.
      {"a failed read of a file",
       [&](auto& table, auto& out) {
         std::FILE* folder = std::fopen(dir.Path().c_str(), "rb");
         FileStreamBuffer buffer(folder);
         std::istream in(&buffer);
         const auto result = LoadLUTFile({"folder", &in, ""}, kDaVinci, false, table, out);
         std::fclose(folder);
         return result;
       },
       "Read error"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto table = test::SevenTable();
    std::ostringstream diagnosis;
    const LUTLoadResult result = c.load(*table, diagnosis);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(diagnosis.str(), "LUT file operation error.\n");
    EXPECT_EQ(result.cause, c.cause);
    EXPECT_EQ(*table, *test::SevenTable());
  }
}

// On Windows a path is UTF-8 inside the program and wide at the system: a LUT in a folder named
// in letters of no single code page opens and loads.
TEST(LUTFileLoadTest, ALutInAFolderNamedInNonAsciiLettersLoads) {
  test::TempDir dir;
  const auto folder = dir.Path() / PathFromUtf8("Kalibrierung-\xC3\x9C/\xCE\xA9mega");
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "grade.cube", std::ios::binary)
      << "LUT_3D_SIZE 17\n" + CubeLines(17, test::Identity);
  auto table = test::SevenTable();
  std::ostringstream diagnosis;
  const auto result =
      test::LoadFile(Utf8FromPath(folder / "grade.cube"), kDaVinci, false, *table, diagnosis);
  EXPECT_EQ(result.code, 0) << result.cause;
  EXPECT_EQ((*table)[0][1], 68);
  EXPECT_EQ((*table)[2][4095], 1023);
}

// The load holds only the points of a cube its conversion reads; the codes must be those of the
// whole cube, converted step by step, whatever the input curve makes of the grid: cells on
// inner positions, both ends, clamped and NaN entries, a curve running backwards.
TEST(LUTFileLoadTest, HoldingOnlyThePointsConvertedGivesTheCodesOfTheWholeCube) {
  const auto bent = [](double r, double g, double b) {
    return RgbTriple{std::sin(3 * r) * g + b * b, r * g * b, std::sqrt(g) - 0.3 * r};
  };
  const std::string curves[] = {
      "",
      test::CurveLines(2,
                       [](double x) {
                         return RgbTriple{x, x, x};
                       }),
      test::CurveLines(1024,
                       [](double x) {
                         return RgbTriple{std::pow(x, 2.2), 1 - x, x};
                       }),
      test::CurveLines(7,
                       [](double x) {
                         return RgbTriple{2 * x - 0.5, x < 0.5 ? NAN : x, x};
                       }),
  };
  for (const int width : {2, 3, 16, 17, 33}) {
    for (const std::string& curve : curves) {
      const int entries = static_cast<int>(std::count(curve.begin(), curve.end(), '\n'));
      const std::string file = (entries ? "LUT_1D_SIZE " + std::to_string(entries) + "\n" : "") +
                               "LUT_3D_SIZE " + std::to_string(width) + "\n" + curve +
                               CubeLines(width, bent);
      SCOPED_TRACE("width " + std::to_string(width) + ", " + std::to_string(entries) + " entries");
      auto loaded = test::SevenTable();
      std::istringstream in(file);
      std::ostringstream diagnosis;
      ASSERT_EQ(LoadLUTFile({"t.cube", &in, ""}, kDaVinci, false, *loaded, diagnosis).code, 0);

      const auto whole = test::ReadText<DaVinciLUTReader>(file);
      ASSERT_EQ(whole.data->lut3D->Samples().size(),
                static_cast<std::size_t>(width) * width * width);
      InputCurve input = IdentityInputCurve();
      if (whole.data->lut1D) {
        ASSERT_TRUE(Convert1D(*whole.data->lut1D, input));
      }
      auto samples = std::make_unique<GridSamples>();
      ASSERT_TRUE(Convert3D(input, *whole.data->lut3D, *samples));
      auto expected = std::make_unique<MonitorLutTable>();
      StoreMonitorCodes(*samples, *expected);
      EXPECT_EQ(*loaded, *expected);
    }
  }
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
  const auto result = test::LoadFile(dir.File("big.cube"), kDaVinci, false, *table, diagnosis);
  const std::chrono::duration<double> took = test::ThreadCpuTime() - start;
  std::cout << "[ time ] 65-point cube read and converted in " << took.count()
            << " s of processor time\n";
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ((*table)[2][4095], 1023);
  EXPECT_LT(took.count(), 10.0);
}

}  // namespace
}  // namespace velluma
