// What every LUT reader shares: trimming, and the "%lf%lf%lf" data lines and "%d" keyword
// numbers read as the C library reads them in the C locale, without depending on the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ios>
#include <random>

#include "lut/CNumberScanner.h"
#include "lut/LUTReader.h"

namespace velluma {
namespace {

// ParseDataLine and IsDataLine are not abstract; any reader gives access to them.
class PlainReader : public LUTReader {
 public:
  ReadStatus Read(std::istream&, std::unique_ptr<LUTReadData>*) override {
    return ReadStatus::BadArguments;
  }
};

TEST(TrimWhitespaceTest, RemovesExactlyTheCWhitespaceAtBothEnds) {
  EXPECT_EQ(TrimWhitespace(" \f\n\r\t\v"), "");             // a blank line
  EXPECT_EQ(TrimWhitespace("  # Cube\r"), "# Cube");        // a CR LF line's CR
  EXPECT_EQ(TrimWhitespace("\t1 2  3 \v"), "1 2  3");       // inner blanks stay
  EXPECT_EQ(TrimWhitespace("\x01 a \x7f"), "\x01 a \x7f");  // other controls are content
}

TEST(DataLineTest, FindsThreeNumbersAsTheCConversionDoes) {
  struct Case {
    const char* line;
    bool isData;
    RgbTriple value;
  };
  const Case cases[] = {
      {"  \t1e-1 -2.5E+1 +3.", true, {0.1, -25, 3}},  // blanks, exponents, signs, bare point
      {"1 2 3 4 trailing text", true, {1, 2, 3}},     // anything after the third is ignored
      {"0x1p-2 .5 0X10", true, {0.25, 0.5, 16}},      // hexadecimal as strtod reads it
      {"1e+ 2 3\r", true, {1, 2, 3}},                 // "e+" is swallowed with the 1
      {"1 2", false, {}},
      {"# 1 2 3", false, {}},
      {"1,5 2 3", false, {}},  // a decimal comma ends the number; ",5" is no number
      {"1 . 2", false, {}},
      {"0x 1 2", false, {}},  // "0x" alone is refused
      {"1 2 infin", false, {}},
  };
  PlainReader reader;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(reader.IsDataLine(c.line), c.isData);
    RgbTriple got{-7, -7, -7};
    if (!c.isData) {
      EXPECT_THROW(reader.ParseDataLine(c.line, got.r, got.g, got.b), std::ios_base::failure);
      EXPECT_EQ(got.r, -7);  // nothing stored
      continue;
    }
    reader.ParseDataLine(c.line, got.r, got.g, got.b);
    EXPECT_DOUBLE_EQ(got.r, c.value.r);
    EXPECT_DOUBLE_EQ(got.g, c.value.g);
    EXPECT_DOUBLE_EQ(got.b, c.value.b);
  }
  double r = 0, g = 0, b = 0;
  reader.ParseDataLine("nan -INF 1e400", r, g, b);
  EXPECT_TRUE(std::isnan(r));
  EXPECT_EQ(g, -HUGE_VAL);
  EXPECT_EQ(b, HUGE_VAL);
  // Too large by the place of its first digit, though its exponent alone is not; a subnormal;
  // too small.
  reader.ParseDataLine("0.000000000000000000001e330 1000e-326 100000e-1000", r, g, b);
  EXPECT_EQ(r, HUGE_VAL);
  EXPECT_EQ(g, 1e-323);
  EXPECT_EQ(b, 0.0);
}

TEST(CNumberScannerTest, IntegersAsPercentD) {
  EXPECT_EQ(CNumberScanner(" +17 rest").Integer(), 17);
  EXPECT_EQ(CNumberScanner("33.9").Integer(), 33);
  EXPECT_EQ(CNumberScanner("99999999999999999999999").Integer(), INT64_MAX);  // saturates
  EXPECT_EQ(CNumberScanner("-99999999999999999999999").Integer(), -INT64_MAX);
  for (const char* none : {"", "  ", "-", "+ 1", ":33"}) {
    EXPECT_EQ(CNumberScanner(none).Integer(), std::nullopt) << none;
  }
}

// Differential check against the C library itself in the C locale: random lines made of the
// pieces numbers are made of give the same conversions, values (bit for bit) and characters
// consumed as sscanf.
TEST(CNumberScannerTest, AgreesWithSscanfInTheCLocale) {
#ifdef _WIN32
  GTEST_SKIP() << "the reference is glibc's sscanf, whose reading of nan, inf and hexadecimal "
                  "floats the scanner follows; MinGW's scanf reads some of them otherwise";
#endif
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  // clang-format off
  const std::string pieces[] = {
      "0", "1", "7", "12", ".", ".5", "e", "E", "+", "-", "x", "0x", "0X1", "p", "P3", "a", "f",
      "nan", "NaN", "inf", "INFINITY", "infin", "nan(", " ", "\t", ",", "1e400", "1e-400",
      "1e-310", "4e-324", "2e-324", "0x1p-1080", "123456789", "0.1000000000000000055511"};
  // clang-format on
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  int compared = 0;
  for (int round = 0; round < 200000; ++round) {
    std::string line;
    for (int n = random() % 10 + 1; n > 0; --n) line += pieces[pick(random)];
    SCOPED_TRACE("[" + line + "]");
    double expected[3];
    int consumed = -1;
    const bool found = std::sscanf(line.c_str(), "%lf%lf%lf%n", &expected[0], &expected[1],
                                   &expected[2], &consumed) == 3;
    CNumberScanner scan(line);
    double actual[3];
    int scanned = 0;
    for (; scanned < 3; ++scanned) {
      const auto value = scan.Real();
      if (!value) break;
      actual[scanned] = *value;
    }
    ASSERT_EQ(scanned == 3, found);
    // Checking the numbers without converting them accepts the same lines, up to the same place.
    CNumberScanner check(line);
    ASSERT_EQ(check.SkipReals(3), found);
    if (!found) continue;
    ASSERT_EQ(check.Position(), scan.Position());
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(std::isnan(actual[i]) ? std::isnan(expected[i])
                                        : std::memcmp(&actual[i], &expected[i], 8) == 0);
    }
    ASSERT_EQ(scan.Position(), static_cast<std::size_t>(consumed));
    ++compared;
  }
  EXPECT_GT(compared, 10000) << "too few data lines to compare";

  const std::string integerPieces[] = {"0", "5", "123", "+", "-", " ", "x", "."};
  for (int round = 0; round < 50000; ++round) {
    std::string text;
    for (int n = random() % 4 + 1; n > 0; --n) text += integerPieces[random() % 8];
    int expected = 0;
    int consumed = -1;
    const bool found = std::sscanf(text.c_str(), "%d%n", &expected, &consumed) == 1;
    CNumberScanner scan(text);
    const auto actual = scan.Integer();
    ASSERT_EQ(actual.has_value(), found) << text;
    if (!found || *actual > INT32_MAX || *actual < INT32_MIN) continue;  // sscanf: undefined
    ASSERT_EQ(*actual, expected) << text;
    ASSERT_EQ(scan.Position(), static_cast<std::size_t>(consumed)) << text;
  }
}

}  // namespace
}  // namespace velluma
