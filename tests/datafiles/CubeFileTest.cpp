// A user memory's LUT written as a .cube and loaded back by Velluma's own DaVinci Resolve reader
// and conversion, as the LookUpTable tab loads a file: the very same 10-bit table, every code from
// 0 to 1023 in every channel and position, whatever the locale's decimal mark.
#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

#include "datafiles/CubeFile.h"
#include "lut/LUTFileLoad.h"
#include "platform/InputFile.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

// Codes with no structure a wrong order could keep: entry e of channel c, spread over 0..1023.
UserMemoryTables::LutTable Scrambled() {
  UserMemoryTables::LutTable lut{};
  for (int c = 0; c < 3; ++c)
    for (int e = 0; e < UserMemoryTables::kLutEntries; ++e) lut[c][e] = (e * 379 + c * 101) % 1024;
  return lut;
}

TEST(CubeFileTest, VellumasOwnReaderLoadsTheSameTableBack) {
  const UserMemoryTables::LutTable written = Scrambled();
  for (const bool decimalComma : {false, true}) {
    SCOPED_TRACE(decimalComma ? "decimal comma" : "C locale");
    if (decimalComma && !test::UseDecimalCommaLocale()) GTEST_SKIP() << "no German locale";
    test::TempDir dir;
    std::string reason;
    ASSERT_TRUE(cube_file::Write(dir.File("lut.cube"), written, "Look \"one\"", reason)) << reason;
    const std::string text = dir.Read("lut.cube");
    EXPECT_EQ(text.rfind("TITLE \"Look one\"\nLUT_3D_SIZE 16\n0.000000 0.098729 0.197458\n", 0), 0u)
        << text.substr(0, 80);
    EXPECT_EQ(text, cube_file::Text(written, "Look \"one\""));

    auto loaded = std::make_unique<MonitorLutTable>();
    std::ostringstream diagnosis;
    InputFile input(dir.File("lut.cube"));
    const LUTLoadResult result = LoadLUTFile({dir.File("lut.cube"), input.Stream(), input.Reason()},
                                             "Davinci Resolve", false, *loaded, diagnosis);
    EXPECT_EQ(result.code, 0) << diagnosis.str();
    EXPECT_TRUE(*loaded == written);
    std::setlocale(LC_ALL, "C");
  }
}

}  // namespace
}  // namespace velluma
