// The direct LUT table file: the monitor's codes themselves, one comma-separated line per
// entry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lut/DirectTableMode.h"
#include "lut/LUTFileError.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

// A table whose every value is 7, so that untouched rows show.
std::unique_ptr<MonitorLutTable> SevenTable() {
  auto table = std::make_unique<MonitorLutTable>();
  for (auto& channel : *table) channel.fill(7);
  return table;
}

// Loads `content` into a table of sevens; the table afterwards, or none when rejected.
std::unique_ptr<MonitorLutTable> Load(const std::string& content) {
  test::TempDir dir;
  dir.Write("table.csv", content);
  auto table = SevenTable();
  const MonitorLutTable before = *table;
  if (DirectTableMode(dir.File("table.csv"), *table)) return table;
  EXPECT_EQ(*table, before) << "a rejected file must leave the table as it was";
  return nullptr;
}

TEST(DirectTableModeTest, LineFiveSetsEntryFive) {
  const auto table = Load("0,0,0\n0,0,0\n0,0,0\n0,0,0\n0,0,0\n100,200,300\n");
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[0][5], 100);
  EXPECT_EQ((*table)[1][5], 200);
  EXPECT_EQ((*table)[2][5], 300);
  EXPECT_EQ((*table)[0][4], 0);
  EXPECT_EQ((*table)[0][6], 7);  // beyond the last line
}

TEST(DirectTableModeTest, ATenLineFileChangesRowsZeroToNineOnly) {
  std::string content;
  for (int m = 0; m < 10; ++m) content += std::to_string(m) + "," + std::to_string(m + 1) + ",9\n";
  const auto table = Load(content);
  ASSERT_TRUE(table);
  for (int m = 0; m < 10; ++m) {
    EXPECT_EQ((*table)[0][m], m);
    EXPECT_EQ((*table)[1][m], m + 1);
    EXPECT_EQ((*table)[2][m], 9);
  }
  for (int m = 10; m < kMonitorLutEntries; ++m) {
    for (int c = 0; c < 3; ++c) ASSERT_EQ((*table)[c][m], 7) << m;
  }
}

TEST(DirectTableModeTest, FieldsAndLineEnds) {
  struct Case {
    const char* what;
    std::string content;
    int row;  // the row checked
    std::int32_t red, green, blue;
  };
  const Case cases[] = {
      {"CR LF line ends", "1,2,3\r\n4,5,6\r\n", 1, 4, 5, 6},
      {"CR line ends", "1,2,3\r4,5,6\r", 1, 4, 5, 6},
      {"mixed line ends", "1,2,3\r\n\n4,5,6", 2, 4, 5, 6},
      {"an empty line sets its row to zeros", "1,2,3\n\n4,5,6\n", 1, 0, 0, 0},
      {"a trailing empty line counts", "1,2,3\n\n", 1, 0, 0, 0},
      {"runs of commas are one separator", "10,,,20,30", 0, 10, 20, 30},
      {"leading commas are skipped", ",,10,20,30", 0, 10, 20, 30},
      {"a missing field stores 0", "10,20", 0, 10, 20, 0},
      {"a field that is no integer stores 0", "abc,20,x30", 0, 0, 20, 0},
      {"a field read as far as it is an integer", " 12abc,+5, 6.9", 0, 12, 5, 6},
      {"fields after the third are ignored", "1,2,3,99999,-5", 0, 1, 2, 3},
      {"the largest code three hexadecimal digits hold", "4095,0,4095", 0, 4095, 0, 4095},
  };
  for (const auto& c : cases) {
    const auto table = Load(c.content);
    ASSERT_TRUE(table) << c.what;
    EXPECT_EQ((*table)[0][c.row], c.red) << c.what;
    EXPECT_EQ((*table)[1][c.row], c.green) << c.what;
    EXPECT_EQ((*table)[2][c.row], c.blue) << c.what;
  }
}

TEST(DirectTableModeTest, ValuesThatCannotBeSentRejectTheFile) {
  const char* rejected[] = {
      "70000,0,0",  // its low 16 bits, 4464, would still not fit three digits
      "4096,0,0",
      "0,0,65536",  // its low 16 bits would be 0: rejected all the same
      "0,-1,0",
      "1,2,3\n4,5,6\n0,0,99999999999999999999",  // a bad last line rejects the earlier ones too
  };
  for (const char* content : rejected) EXPECT_FALSE(Load(content)) << content;
}

TEST(DirectTableModeTest, LinesAfterEntry4095AreNotRead) {
  std::string content;
  for (int m = 0; m < kMonitorLutEntries; ++m) content += std::to_string(m % 1024) + ",1,2\n";
  content += "70000,70000,70000\n";
  const auto table = Load(content);
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[0][4095], 4095 % 1024);
}

TEST(DirectTableModeTest, AnEmptyFileChangesNothing) {
  const auto table = Load("");
  ASSERT_TRUE(table);
  EXPECT_EQ(*table, *SevenTable());
}

TEST(DirectTableModeTest, AFileThatCannotBeOpenedRaisesTheFileError) {
  test::TempDir dir;
  auto table = SevenTable();
  const std::string missing = dir.File("missing.csv");
  try {
    DirectTableMode(missing, *table);
    FAIL() << "no error raised";
  } catch (const LUTFileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + missing + "\". No such file or directory");
  }
  EXPECT_THROW(DirectTableMode(dir.Path().string(), *table), LUTFileError);  // a directory
  EXPECT_EQ(*table, *SevenTable());
}

}  // namespace
}  // namespace velluma
