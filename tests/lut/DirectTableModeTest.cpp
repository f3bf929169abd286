// The direct LUT table file: the monitor's codes themselves, one comma-separated line per
// entry, loaded whole or not at all.
#include <gtest/gtest.h>

#include <sstream>

#include "lut/DirectTableMode.h"
#include "lut/LUTFileError.h"
#include "tests/lut/LUTTestFiles.h"

namespace velluma {
namespace {

// Loads `content` into a table of sevens: the table afterwards, or none when rejected.
std::unique_ptr<MonitorLutTable> Load(const std::string& content) {
  std::istringstream in(content);
  auto table = test::SevenTable();
  if (DirectTableMode(in, "table.csv", *table)) return table;
  EXPECT_EQ(*table, *test::SevenTable()) << "a rejected file must leave the table as it was";
  return nullptr;
}

TEST(DirectTableModeTest, EachLineSetsItsEntry) {
  const auto table =
      Load("0,0,0\n0,0,0\n0,0,0\n0,0,0\n0,0,0\n100,200,300\n0,0,0\n1,2,3\n9,9,9\n4,4,4\n");
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[0][5], 100);  // line 5, counted from 0
  EXPECT_EQ((*table)[1][5], 200);
  EXPECT_EQ((*table)[2][5], 300);
  EXPECT_EQ((*table)[2][7], 3);
  // The ten lines change rows 0..9 only.
  for (int m = 10; m < kMonitorLutEntries; ++m) {
    for (int c = 0; c < 3; ++c) ASSERT_EQ((*table)[c][m], 7) << m;
  }
}

TEST(DirectTableModeTest, FieldsAndLineEnds) {
  struct Case {
    const char* what;
    std::string content;
    int row;
    std::array<std::int32_t, 3> codes;
  };
  const Case cases[] = {
      {"CR line ends", "1,2,3\r4,5,6\r", 1, {4, 5, 6}},
      {"mixed line ends", "1,2,3\r\n4,5,6\r7,8,9\n10,11,12", 3, {10, 11, 12}},
      {"blank lines at the end are not rows", "1,2,3\n\n \r\n", 1, {7, 7, 7}},
      {"runs of commas are one separator, leading ones skipped", ",,10,,,20,30", 0, {10, 20, 30}},
      {"blanks around a field are allowed", " 12 ,+5,\t6 ", 0, {12, 5, 6}},
      {"fields after the third are ignored", "1,2,3,99999,-5,x", 0, {1, 2, 3}},
      {"4095, the largest code three hexadecimal digits hold", "4095,0,4095", 0, {4095, 0, 4095}},
  };
  for (const auto& c : cases) {
    const auto table = Load(c.content);
    ASSERT_TRUE(table) << c.what;
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ((*table)[ch][c.row], c.codes[ch]) << c.what;
  }
}

TEST(DirectTableModeTest, ValuesThatCannotBeSentRejectTheWholeFile) {
  std::string noise;
  for (int i = 0; i < 65536; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  const std::string rejected[] = {
      "70000,0,0",
      "4096,0,0",
      "0,-1,0",
      "65636,0,0",   // not stored as its low 16 bits, 100
      "0,-65436,0",  // nor as 100
      "0,0,65536",   // nor as 0
      "1,2,3\n4,5,6\n0,0,99999999999999999999",
      "10,20",                                      // a missing field
      "abc,20,30",                                  // a field that is no integer
      " 12abc,5,6",                                 // nor is this one
      "1,2,3.5",                                    // nor this
      "1,2,3\n\n4,5,6",                             // a blank line between rows
      "",                                           // no row at all
      "\n\r\n",                                     // nor here
      std::string(4096, '\0'),                      // NUL bytes
      noise,                                        // random bytes
      "1,2,3\n" + std::string((1 << 20) + 1, '1'),  // a line no table holds
  };
  for (const std::string& content : rejected) EXPECT_FALSE(Load(content)) << content.substr(0, 40);
  // Lines after entry 4095 are not read at all.
  std::string content;
  for (int m = 0; m < kMonitorLutEntries; ++m) content += "1,2,3\n";
  EXPECT_TRUE(Load(content + "70000,70000,70000\n"));
}

// The file is opened by the loader's caller, as the station opens it; a file it cannot open, or
// one whose read fails half-way, raises the file error naming it.
TEST(DirectTableModeTest, AFileThatCannotBeOpenedOrReadRaisesTheFileError) {
  test::TempDir dir;
  auto table = test::SevenTable();
  std::ostringstream diagnosis;
  const auto errorOf = [&](const auto& load) -> std::string {
    try {
      load();
    } catch (const LUTFileError& error) {
      return error.what();
    }
    return "no error raised";
  };
  const std::string missing = dir.File("missing.csv");
  EXPECT_EQ(errorOf([&] { test::LoadFile(missing, "", true, *table, diagnosis); }),
            "Cannot open file \"" + missing + "\". No such file or directory");
  const std::string folder = dir.Path().string();
  EXPECT_EQ(errorOf([&] { test::LoadFile(folder, "", true, *table, diagnosis); }),
            "Cannot open file \"" + folder + "\". Is a directory");
  for (const bool raises : {false, true}) {
    test::FailingStream failing("1,2,3\n4,5,6\n7,8,9\n", 9);
    if (raises) failing.Stream().exceptions(std::ios_base::badbit);
    EXPECT_EQ(errorOf([&] { DirectTableMode(failing.Stream(), "t.csv", *table); }),
              "Cannot open file \"t.csv\". Read error");
  }
  EXPECT_EQ(*table, *test::SevenTable());
  EXPECT_EQ(diagnosis.str(), "");
}

}  // namespace
}  // namespace velluma
