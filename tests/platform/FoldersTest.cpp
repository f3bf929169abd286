// Paths as the system writes them: what a file dialog gives ("/" on every system) is shown and
// stored with the system's own separator, and nothing else of the path changes.
#include <gtest/gtest.h>

#include <string>

#include "platform/Folders.h"

namespace velluma {
namespace {

TEST(FoldersTest, APathIsWrittenWithTheSystemsSeparatorAndOtherwiseKept) {
  struct Case {
    std::string given, windows, posix;
  };
  const Case cases[] = {
      {"C:/Calibration/run.txt", "C:\\Calibration\\run.txt", "C:/Calibration/run.txt"},
      {"C:\\Calibration/Kalibrierung-Ü/Ωmega.cube", "C:\\Calibration\\Kalibrierung-Ü\\Ωmega.cube",
       "C:\\Calibration/Kalibrierung-Ü/Ωmega.cube"},
      {"//server/share/run.txt", "\\\\server\\share\\run.txt", "//server/share/run.txt"},
      {"run.txt", "run.txt", "run.txt"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
#ifdef _WIN32
    EXPECT_EQ(WithSystemSeparators(c.given), c.windows) << c.given;
#else
    EXPECT_EQ(WithSystemSeparators(c.given), c.posix) << c.given;
#endif
  }
}

}  // namespace
}  // namespace velluma
