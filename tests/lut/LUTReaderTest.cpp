// The pieces every LUT reader shares: trimming, the "%lf%lf%lf" data lines read without the C
// library's locale, and the integer and real conversions behind the keywords.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ios>
#include <random>
#include <string>
#include <vector>

#include "lut/CNumberScanner.h"
#include "lut/LUTReader.h"

namespace velluma {
namespace {

// ParseDataLine and IsDataLine are not abstract; any reader gives access to them.
class PlainReader : public LUTReader {
 public:
  ReadStatus Read(std::string_view, std::unique_ptr<LUTReadData>*) override {
    return ReadStatus::BadArguments;
  }
};

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TrimWhitespaceTest, RemovesExactlyTheCWhitespaceAtBothEnds) {
  struct Case {
    std::string text, trimmed;
  };
  const Case cases[] = {
      {"", ""},
      {" \f\n\r\t\v", ""},                             // made only of white space: blank
      {"  # Cube\r", "# Cube"},                        // the carriage return of a CR LF line
      {"\t1 2  3 \v", "1 2  3"},                       // inner white space stays
      {"\x01 a \x7f", "\x01 a \x7f"},                  // other control characters are content
      {std::string("a\0", 2), std::string("a\0", 2)},  // so is a NUL
  };
  for (const auto& c : cases) EXPECT_EQ(TrimWhitespace(c.text), c.trimmed) << c.text;
}

// What "%lf%lf%lf" makes of a line; r, g, b when it finds three numbers.
TEST(DataLineTest, FindsThreeNumbersAsTheCConversionDoes) {
  struct Case {
    const char* line;
    bool isData;
    double r, g, b;
  };
  const Case cases[] = {
      {"0 0.5 1", true, 0, 0.5, 1},
      {"  \t1e-1 -2.5E+1 +3.", true, 0.1, -25, 3},  // blanks, exponents, signs, bare point
      {"1 2 3 4 trailing text", true, 1, 2, 3},     // anything after the third is ignored
      {"0x1p-2 .5 0X10", true, 0.25, 0.5, 16},      // hexadecimal as strtod takes it
      {"1 2 3\r", true, 1, 2, 3},                   // parsing stops at the carriage return
      {"1e+ 2 3", true, 1, 2, 3},                   // "e+" is swallowed with the 1
      {"1 2", false, 0, 0, 0},
      {"", false, 0, 0, 0},
      {"# 1 2 3", false, 0, 0, 0},
      {"LUT_3D_SIZE 2 2 2", false, 0, 0, 0},
      {"1,5 2 3", false, 0, 0, 0},  // a decimal comma ends the first number; ",5" is no number
      {"1 - 2 3", false, 0, 0, 0},
      {"1 . 2", false, 0, 0, 0},
      {"0x 1 2", false, 0, 0, 0},  // "0x" alone is refused
      {"1 2 infin", false, 0, 0, 0},
  };
  PlainReader reader;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(reader.IsDataLine(c.line), c.isData);
    double r = -7, g = -7, b = -7;
    if (c.isData) {
      reader.ParseDataLine(c.line, r, g, b);
      EXPECT_DOUBLE_EQ(r, c.r);
      EXPECT_DOUBLE_EQ(g, c.g);
      EXPECT_DOUBLE_EQ(b, c.b);
    } else {
      EXPECT_THROW(reader.ParseDataLine(c.line, r, g, b), std::ios_base::failure);
      EXPECT_EQ(r, -7);  // nothing stored from a line that is not a data line
    }
  }
}

TEST(DataLineTest, SpecialValuesAndValuesBeyondADouble) {
  PlainReader reader;
  double r = 0, g = 0, b = 0;
  reader.ParseDataLine("nan -INF Infinity", r, g, b);
  EXPECT_TRUE(std::isnan(r));
  EXPECT_EQ(g, -HUGE_VAL);
  EXPECT_EQ(b, HUGE_VAL);
  reader.ParseDataLine("1e400 -1e400 1e-400", r, g, b);
  EXPECT_EQ(r, HUGE_VAL);
  EXPECT_EQ(g, -HUGE_VAL);
  EXPECT_EQ(b, 0.0);
  reader.ParseDataLine("0.000000000000000000001e330 1000e-326 100000e-1000", r, g, b);
  EXPECT_EQ(r, HUGE_VAL);  // too large by its digits' place, though its exponent alone is not
  EXPECT_EQ(g, 1e-323);    // a subnormal stays a subnormal
  EXPECT_EQ(b, 0.0);
}

// The application sets the C library's locale from the environment; the readers must still
// read a decimal point, and only a decimal point.
TEST(DataLineTest, ReadsTheDecimalPointUnderADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "scripts/setup generates de_DE.UTF-8";
  double check = 0;
  ASSERT_EQ(std::sscanf("0,5", "%lf", &check), 1);
  ASSERT_EQ(check, 0.5) << "the locale is not a decimal-comma one";

  PlainReader reader;
  double r = 0, g = 0, b = 0;
  reader.ParseDataLine("0.5 0.25 1", r, g, b);
  EXPECT_EQ(r, 0.5);
  EXPECT_EQ(g, 0.25);
  EXPECT_EQ(b, 1.0);
  EXPECT_FALSE(reader.IsDataLine("0,5 0,5 0,5"));
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(CNumberScannerTest, IntegersAsPercentD) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {" 33", 33},
      {"+17 rest", 17},
      {"-4", -4},
      {"33.9", 33},                            // stops at the point
      {"0x10", 0},                             // decimal only
      {"99999999999999999999999", INT64_MAX},  // saturates instead of wrapping
      {"-99999999999999999999999", -INT64_MAX},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"-", std::nullopt},
      {"+ 1", std::nullopt},
      {"abc", std::nullopt},
      {":33", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CNumberScanner(c.text).Integer(), c.value) << c.text;
}

// Differential check against the C library itself, run in the C locale: random lines built from
// the pieces numbers are made of must give the same count of conversions, the same values (bit
// for bit) and the same number of characters consumed as sscanf.
TEST(CNumberScannerTest, AgreesWithSscanfInTheCLocale) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  const std::vector<std::string> pieces = {
      "0",         "1",         "7",
      "12",        "0.",        ".",
      ".5",        "e",         "E",
      "+",         "-",         "x",
      "0x",        "0X1",       "p",
      "P3",        "a",         "f",
      "nan",       "NaN",       "inf",
      "INFINITY",  "infin",     "nan(",
      ")",         " ",         "  ",
      "\t",        "\r",        ",",
      "#",         "1e400",     "1e-400",
      "1e-310",    "4e-324",    "2e-324",
      "0x1p-1080", "123456789", "0.1000000000000000055511151231257827"};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(1, 10);
  int compared = 0;
  for (int round = 0; round < 200000; ++round) {
    std::string line;
    for (int n = length(random); n > 0; --n) line += pieces[pick(random)];
    SCOPED_TRACE("line: [" + line + "]");

    double expected[3] = {0, 0, 0};
    int consumed = -1;
    const int found = std::sscanf(line.c_str(), "%lf%lf%lf%n", &expected[0], &expected[1],
                                  &expected[2], &consumed);
    CNumberScanner scan(line);
    int scanned = 0;
    double actual[3] = {0, 0, 0};
    for (; scanned < 3; ++scanned) {
      const auto value = scan.Real();
      if (!value) break;
      actual[scanned] = *value;
    }
    ASSERT_EQ(scanned == 3, found == 3);
    if (found != 3) continue;
    ++compared;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(SameDouble(actual[i], expected[i])) << i;
    ASSERT_EQ(scan.Position(), static_cast<std::size_t>(consumed));
  }
  EXPECT_GT(compared, 10000) << "too few lines were data lines to compare values";

  const std::vector<std::string> integerPieces = {"0", "5",  "123", "+", "-",
                                                  " ", "\t", "x",   ".", "a"};
  std::uniform_int_distribution<std::size_t> pickInteger(0, integerPieces.size() - 1);
  for (int round = 0; round < 50000; ++round) {
    std::string text;
    for (int n = length(random) % 4 + 1; n > 0; --n) text += integerPieces[pickInteger(random)];
    SCOPED_TRACE("text: [" + text + "]");
    int expected = 0;
    int consumed = -1;
    const bool found = std::sscanf(text.c_str(), "%d%n", &expected, &consumed) == 1;
    CNumberScanner scan(text);
    const auto actual = scan.Integer();
    ASSERT_EQ(actual.has_value(), found);
    if (!found) continue;
    if (*actual > INT32_MAX || *actual < INT32_MIN) continue;  // undefined for sscanf
    ASSERT_EQ(*actual, expected);
    ASSERT_EQ(scan.Position(), static_cast<std::size_t>(consumed));
  }
}

}  // namespace
}  // namespace velluma
