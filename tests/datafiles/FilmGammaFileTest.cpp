#include <gtest/gtest.h>

#include "datafiles/FilmGammaFile.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using film_gamma_file::ReadResult;

std::string Header(const char* values = "1\n7\n0\n1\n1\n0\n1\n0\n0\n") {
  return values;
}

std::string Ramp(int count = 1024, const char* end = "\n") {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::to_string(i % 1024) + end;
  return text;
}

class FilmGammaFileTest : public ::testing::Test {
 protected:
  ReadResult ReadText(const std::string& text) {
    dir_.Write("fg.csv", text);
    return film_gamma_file::Read(dir_.File("fg.csv"), table_);
  }
  test::TempDir dir_;
  UserMemoryTables::FilmGammaTable table_{};
};

TEST_F(FilmGammaFileTest, AValidTableLoadsEntryZeroFirst) {
  ASSERT_EQ(ReadText(Header() + Ramp()), ReadResult::Loaded);
  EXPECT_EQ(table_[0], 0);
  EXPECT_EQ(table_[1023], 1023);
}

TEST_F(FilmGammaFileTest, WhatALineMayHold) {
  struct Case {
    const char* name;
    std::string text;
    ReadResult result;
  } cases[] = {
      {"CR LF lines", Header("1\r\n7\r\n0\r\n1\r\n1\r\n0\r\n1\r\n0\r\n0\r\n") + Ramp(1024, "\r\n"),
       ReadResult::Loaded},
      {"no line end after the last value", Header() + Ramp(1023) + "1023", ReadResult::Loaded},
      {"first fields of CSV lines and leading blanks",
       Header() + Ramp(1022) + "512,more,text\n   512\n", ReadResult::Loaded},
      {"any second header value", Header("1\n-99\n0\n1\n1\n0\n1\n0\n0\n") + Ramp(),
       ReadResult::Loaded},
      {"third header value 1", Header("1\n7\n1\n1\n1\n0\n1\n0\n0\n") + Ramp(), ReadResult::Invalid},
      {"1023 values", Header() + Ramp(1023), ReadResult::Invalid},
      {"1025 values", Header() + Ramp(1025), ReadResult::Invalid},
      {"a value of 1024", Header() + "1024\n" + Ramp(1023), ReadResult::Invalid},
      {"a value of -1", Header() + Ramp(1023) + "-1\n", ReadResult::Invalid},
      {"a value that wraps to 0 in 32 bits", Header() + "4294967296\n" + Ramp(1023),
       ReadResult::Invalid},
      {"one that wraps to 5", Header() + Ramp(1023) + "-4294967291\n", ReadResult::Invalid},
      {"a header value that wraps to 1", Header("4294967297\n7\n0\n1\n1\n0\n1\n0\n0\n") + Ramp(),
       ReadResult::Invalid},
      {"a blank line inside", Header() + Ramp(500) + "\n" + Ramp(524), ReadResult::Invalid},
      {"a blank line after the last value", Header() + Ramp() + "\n", ReadResult::Invalid},
      {"a comment", "; film gamma\n" + Header() + Ramp(), ReadResult::Invalid},
      {"a short header", "1\n7\n0\n", ReadResult::Invalid},
      {"an empty file", "", ReadResult::Invalid},
      {"an overlong line", Header() + std::string(1000, '5') + "\n" + Ramp(1023),
       ReadResult::Invalid},
  };
  for (const Case& c : cases) {
    table_.fill(77);
    const ReadResult result = ReadText(c.text);
    EXPECT_EQ(result, c.result) << c.name;
    if (result == ReadResult::Invalid) {
      EXPECT_EQ(table_, UserMemoryTables::FilmGammaTable{}) << c.name;
    }
  }
  EXPECT_EQ(ReadText(Header() + Ramp(1022) + "512,more,text\n   512\n"), ReadResult::Loaded);
  EXPECT_EQ(table_[1022], 512);
  EXPECT_EQ(table_[1023], 512);
}

TEST_F(FilmGammaFileTest, AFileThatCannotBeOpenedChangesNothing) {
  table_.fill(5);
  EXPECT_EQ(film_gamma_file::Read(dir_.File("missing.csv"), table_), ReadResult::CannotOpen);
  EXPECT_EQ(table_[100], 5);
}

TEST_F(FilmGammaFileTest, BinaryNoiseIsInvalid) {
  std::string noise;
  for (int i = 0; i < 50000; ++i) noise += static_cast<char>((i * 131 + 7) % 256);
  EXPECT_EQ(ReadText(noise), ReadResult::Invalid);
}

}  // namespace
}  // namespace velluma
