#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <iterator>
#include <sstream>
#include <vector>

#include "datafiles/CalibrationFile.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using calibration_file::ReadResult;

// The data the golden file holds.
CalibrationData GoldenData() {
  CalibrationData data;
  data.primaries = {
      XyYValue{0.6401, 0.3299, 61.234}, {0.2998, 0.6003, 180.872}, {0.1502, 0.0598, 17.015}};
  for (int n = 0; n < 256; ++n)
    data.greyLevels[n] = {0.3127 + n * 0.0001, 0.3290 - n * 0.0001, n * 1.25};
  return data;
}

std::string Rows(int count, int from = 0) {
  std::string rows;
  for (int n = from; n < from + count; ++n) rows += std::to_string(n) + "\t1.5\t0.31\t0.32\n";
  return rows;
}

const std::string kColor = "[COLOR]\nR 1 0.64 0.33\nG 2 0.3 0.6\nB 3 0.15 0.06\n";

class CalibrationFileTest : public ::testing::Test {
 protected:
  ReadResult ReadText(const std::string& text) {
    dir_.Write("in.txt", text);
    return calibration_file::Read(dir_.File("in.txt"), data_);
  }
  test::TempDir dir_;
  CalibrationData data_;
};

TEST_F(CalibrationFileTest, TheWrittenFileIsByteExactAndReadsBackWithinSinglePrecision) {
  const std::string path = dir_.File("out.txt");
  ASSERT_TRUE(calibration_file::Write(path, GoldenData(), {"CA-310", 0.005, -0.003}));
  dir_.Write("golden.txt", "");
  std::filesystem::copy_file(VELLUMA_GOLDEN_DIR "/calibration.txt", dir_.File("golden.txt"),
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(dir_.Read("out.txt"), dir_.Read("golden.txt"));

  ASSERT_EQ(calibration_file::Read(path, data_), ReadResult::Loaded);
  const CalibrationData expected = GoldenData();
  for (int n = 0; n < 256; ++n) {
    EXPECT_EQ(data_.greyLevels[n].Y,
              static_cast<double>(static_cast<float>(expected.greyLevels[n].Y)));
    EXPECT_NEAR(data_.greyLevels[n].x, expected.greyLevels[n].x, 1e-7);
  }
  EXPECT_EQ(data_.primaries[1].Y, static_cast<double>(180.872f));
}

TEST_F(CalibrationFileTest, ReadingRules) {
  struct Case {
    const char* name;
    std::string text;
    ReadResult result;
  } cases[] = {
      {"256 rows", kColor + "[Yxy]\n" + Rows(256), ReadResult::Loaded},
      {"CR LF lines", "[COLOR]\r\nR 1 2 3\r\n[Yxy]\r\n" + Rows(256), ReadResult::Loaded},
      {"255 rows", kColor + "[Yxy]\n" + Rows(255), ReadResult::Invalid},
      {"257 rows", kColor + "[Yxy]\n" + Rows(257), ReadResult::Invalid},
      {"a blank line after the 256th row", kColor + "[Yxy]\n" + Rows(256) + "\n",
       ReadResult::Invalid},
      {"a comment after the 256th row", kColor + "[Yxy]\n" + Rows(256) + "; end\n",
       ReadResult::Invalid},
      {"[COLOR] after a full [Yxy]", "[Yxy]\n" + Rows(256) + kColor, ReadResult::Invalid},
      {"[COLOR] last after a short [Yxy]", "[Yxy]\n" + Rows(10) + kColor, ReadResult::Invalid},
      {"one main section", "[Yxy]\n" + Rows(256), ReadResult::Invalid},
      {"comments and blank lines between rows",
       kColor + "[Yxy]\n;x\n\n" + Rows(128) + ";y\n\n" + Rows(128, 128), ReadResult::Loaded},
      {"rows that do not parse do not count",
       kColor + "[Yxy]\n" + Rows(200) + "x y\n0 a b c\n" + Rows(56), ReadResult::Loaded},
      {"integer sections count but are not main",
       "[CORRECT]\nA 1 2 3\n" + kColor + "[Yxy]\n" + Rows(256), ReadResult::Loaded},
      {"an empty file", "", ReadResult::Invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadText(c.text), c.result) << c.name;
}

TEST_F(CalibrationFileTest, RowsAreTakenByOrderAndTheFirstYxySectionFillsTheTable) {
  ASSERT_EQ(ReadText("[COLOR]\nB 1 0.64 0.33\nG 2 0.3 0.6\nR 3 0.15 0.06\n[Yxy]\n" + Rows(256)),
            ReadResult::Loaded);
  EXPECT_EQ(data_.primaries[0], (XyYValue{0.64f, 0.33f, 1}));
  ASSERT_EQ(ReadText("[Yxy]\n9 7 0.5 0.25\n[Yxy]\n" + Rows(256)), ReadResult::Loaded);
  EXPECT_EQ(data_.greyLevels[0], (XyYValue{0.5, 0.25, 7}));
  EXPECT_EQ(data_.greyLevels[1], (XyYValue{}));
  EXPECT_EQ(data_.primaries[0], (XyYValue{}));
}

TEST_F(CalibrationFileTest, AFourthColorRowIsCountedAndNotStored) {
  ASSERT_EQ(ReadText(kColor + "X 9 0.9 0.9\n[Yxy]\n" + Rows(256)), ReadResult::Loaded);
  EXPECT_EQ(data_.primaries[2].Y, 3.0);
}

TEST_F(CalibrationFileTest, LongLinesAreReadIn255CharacterPieces) {
  const std::string longComment =
      std::string(";").append(300, 'c') + "\n";  // its tail becomes a row
  EXPECT_EQ(ReadText(kColor + "[Yxy]\n" + Rows(256) + longComment), ReadResult::Invalid);
  const std::string header = "[Yxy]" + std::string(255 - 5, ' ') + "\n";
  EXPECT_EQ(ReadText(kColor + header + Rows(256)), ReadResult::Invalid) << "not a header in pieces";
}

TEST_F(CalibrationFileTest, LineEndsDoNotChangeWhereALineIsCut) {
  // The last grey row fills a piece to its last character but one: the line end completes it.
  std::string last = "255\t7.5\t0.31\t0.32";
  last += std::string(254 - last.size(), ' ');
  const std::string lf = kColor + "[Yxy]\n" + Rows(255) + last + "\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(ReadText(lf), ReadResult::Loaded);
  EXPECT_EQ(ReadText(crlf), ReadResult::Loaded);
  EXPECT_EQ(data_.greyLevels[255].Y, 7.5);
  EXPECT_EQ(ReadText(crlf + "\r\n"), ReadResult::Invalid) << "a blank line after row 256";
}

TEST_F(CalibrationFileTest, AFileThatCannotBeOpenedLeavesTheDataAsItWas) {
  std::filesystem::create_directory(dir_.File("folder"));
#ifdef _WIN32
  // A device by its DOS name, which every folder has, and the console.
  const std::string devices[] = {dir_.File("NUL"), "CONIN$"};
#else
  ::mkfifo(dir_.File("fifo").c_str(), 0600);  // no writer: opening it must not wait
  const std::string devices[] = {dir_.File("fifo"), "/dev/zero", "/dev/null"};
#endif
  std::vector<std::string> paths = {dir_.File("missing.txt"), dir_.File("folder")};
  paths.insert(paths.end(), std::begin(devices), std::end(devices));
  for (const std::string& path : paths) {
    data_ = GoldenData();
    EXPECT_EQ(calibration_file::Read(path, data_), ReadResult::CannotOpen) << path;
    EXPECT_EQ(data_.primaries[0], GoldenData().primaries[0]) << path;
    EXPECT_EQ(data_.greyLevels[200], GoldenData().greyLevels[200]) << path;
  }
}

TEST_F(CalibrationFileTest, AnInvalidFileLeavesTheDataCleared) {
  data_ = GoldenData();
  EXPECT_EQ(ReadText(kColor + "[Yxy]\n" + Rows(100)), ReadResult::Invalid);
  EXPECT_EQ(data_.primaries[0], (XyYValue{})) << "never half-loaded";
  EXPECT_EQ(data_.greyLevels[5], (XyYValue{}));
}

TEST_F(CalibrationFileTest, HostileFilesEndInvalidWithoutHarm) {
  std::string noise;
  for (int i = 0; i < 100000; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  EXPECT_EQ(ReadText(noise), ReadResult::Invalid);
  EXPECT_EQ(ReadText(std::string(1 << 20, 'x')), ReadResult::Invalid);
  EXPECT_EQ(ReadText(kColor + "[Yxy]\n" + std::string(5000, '\n')), ReadResult::Invalid);
  EXPECT_EQ(ReadText(kColor + "[Yxy]\n0 1e999 nan inf\n"), ReadResult::Invalid);
}

TEST_F(CalibrationFileTest, AValueTheMonitorCannotTakeMakesTheFileInvalid) {
  struct Case {
    const char* row;  // Y x y of grey level 100
    ReadResult result;
  } cases[] = {
      {"1e309 0.31 0.32", ReadResult::Invalid},  // infinity
      {"nan 0.31 0.32", ReadResult::Invalid},
      {"1 inf 0.32", ReadResult::Invalid},
      {"1e30 0.31 0.32", ReadResult::Invalid},      // "%07.4f" keeps "1000000" of it
      {"10000000 0.31 0.32", ReadResult::Invalid},  // the first one that no longer fits
      {"1 0.31 -1000000", ReadResult::Invalid},
      {"9999999 0.31 0.32", ReadResult::Loaded},      // its whole part still fits
      {"123.4567 0.31 -999999", ReadResult::Loaded},  // only decimals are cut
      {"250 -0.5 0.32", ReadResult::Loaded},
  };
  for (const Case& c : cases) {
    data_ = GoldenData();
    const ReadResult result =
        ReadText(kColor + "[Yxy]\n" + Rows(100) + "100 " + c.row + "\n" + Rows(155, 101));
    EXPECT_EQ(result, c.result) << c.row;
    if (result == ReadResult::Invalid) {
      EXPECT_EQ(data_.greyLevels[5], (XyYValue{})) << c.row;
    }
  }
  EXPECT_EQ(ReadText("[COLOR]\nR nan 0.64 0.33\nG 2 0.3 0.6\nB 3 0.15 0.06\n[Yxy]\n" + Rows(256)),
            ReadResult::Invalid)
      << "the primaries are sent too";
  EXPECT_EQ(ReadText(kColor + "[Yxy]\n" + Rows(256) + "[CORRECT]\n"), ReadResult::Invalid);
  EXPECT_EQ(ReadText(kColor + "X nan 1e30 0\n[Yxy]\n" + Rows(256)), ReadResult::Loaded)
      << "a fourth primary is not stored, so never sent";
}

TEST_F(CalibrationFileTest, ALineLongerThanAnyLegalOneMakesTheFileInvalid) {
  const std::string longComment =
      std::string(";").append(calibration_file::kMaxLineLength, 'c') + "\n";
  EXPECT_EQ(ReadText(kColor + longComment + "[Yxy]\n" + Rows(256)), ReadResult::Invalid);
  const std::string longestComment =
      std::string(";").append(calibration_file::kMaxLineLength - 2, 'c');
  EXPECT_EQ(ReadText(kColor + longestComment + "\n[Yxy]\n" + Rows(256)), ReadResult::Loaded);
}

TEST_F(CalibrationFileTest, AFailedSaveLeavesThePreviousFile) {
  const std::string path = dir_.File("kept.txt");
  ASSERT_TRUE(calibration_file::Write(path, GoldenData(), {"PR-655", 0, 0}));
  const std::string before = dir_.Read("kept.txt");
  EXPECT_FALSE(calibration_file::Write(dir_.File("no-folder/kept.txt"), GoldenData(), {}));
  std::filesystem::create_directories(dir_.Path() / "blocked.txt");
  EXPECT_FALSE(calibration_file::Write(dir_.File("blocked.txt"), GoldenData(), {}));
  EXPECT_EQ(dir_.Read("kept.txt"), before);
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    EXPECT_EQ(entry.path().filename().string().find(".txt."), std::string::npos)
        << "no temporary left";
}

}  // namespace
}  // namespace velluma
