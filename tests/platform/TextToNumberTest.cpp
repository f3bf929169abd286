#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/ConvertError.h"
#include "platform/TextToNumber.h"
#include "tests/support/ErrorText.h"

namespace velluma {
namespace {

std::string ErrorOf(const std::function<void()>& action) {
  return test::ErrorText<ConvertError>(action);
}

TEST(TextToNumberTest, FloatsInTheFormsTheOperatorTypes) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"012.5", 12.5},   {"0.5", 0.5}, {"0", 0},         {" 3", 3}, {"2e3", 2000},
               {"1.5E-2", 0.015}, {"7.", 7},    {"-0.25", -0.25}, {"4 ", 4}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
}

TEST(TextToNumberTest, AnythingElseIsNotAFloatingPointValue) {
  for (const char* text :
       {"0-5", "", "0x10", "0x1p3", "inf", "nan", "0,5", "1e", "1..2", "1 2", ".", "0a"})
    EXPECT_EQ(ErrorOf([&] { StrToFloat(text); }),
              std::string("'") + text + "' is not a valid floating point value");
}

TEST(TextToNumberTest, IntegersDecimalOrHexadecimalInThe32BitRange) {
  EXPECT_EQ(StrToInt("9600"), 9600);
  EXPECT_EQ(StrToInt(" -12"), -12);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  for (const char* text : {"", "2147483648", "12a", "9.6", "$", "$G", "99999999999999999999"})
    EXPECT_EQ(ErrorOf([&] { StrToInt(text); }),
              std::string("'") + text + "' is not a valid integer value");
}

}  // namespace
}  // namespace velluma
