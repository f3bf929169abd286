#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "platform/CLocale.h"
#include "tests/support/DecimalCommaLocale.h"

namespace velluma {
namespace {

// The application sets the C library's locale from the environment; numbers on the wire and in
// files must still use a decimal point.
TEST(CLocaleTest, NumbersKeepTheDecimalPointUnderADecimalCommaLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  ASSERT_TRUE(test::UseDecimalCommaLocale()) << "scripts/setup generates de_DE.UTF-8";
  char comma[16];
  std::snprintf(comma, sizeof comma, "%.1f", 0.5);
  EXPECT_STREQ(comma, "0,5") << "the locale is not a decimal-comma one";

  EXPECT_EQ(FormatC("%07.4f", 0.3127), "00.3127");
  EXPECT_EQ(FormatC("%10.3f", 1234.5), "  1234.500");
  const char* end = nullptr;
  const char* text = "0.3127 rest";
  EXPECT_DOUBLE_EQ(StrtodC(text, &end), 0.3127);
  EXPECT_EQ(end, text + 6);
  {
    ScopedCLocale c;
    double value = 0;
    EXPECT_EQ(std::sscanf("2.25", "%lf", &value), 1);
    EXPECT_DOUBLE_EQ(value, 2.25);
  }
  std::snprintf(comma, sizeof comma, "%.1f", 0.5);
  EXPECT_STREQ(comma, "0,5") << "the C locale must not outlive its scope";
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace velluma
