#include "platform/TextToNumber.h"

#include <cctype>
#include <cstdlib>

#include "platform/CLocale.h"
#include "platform/ConvertError.h"

namespace velluma {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t SkipBlanks(const std::string& text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

std::size_t SkipDigits(const std::string& text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// Where a decimal number starting at `i` ends, or npos when there is none.
std::size_t DecimalNumberEnd(const std::string& text, std::size_t i) {
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t integerStart = i;
  i = SkipDigits(text, i);
  bool digits = i > integerStart;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fractionStart = ++i;
    i = SkipDigits(text, i);
    digits = digits || i > fractionStart;
  }
  if (!digits) return std::string::npos;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const std::size_t exponentStart = e;
    e = SkipDigits(text, e);
    if (e == exponentStart) return std::string::npos;
    i = e;
  }
  return i;
}

[[noreturn]] void Fail(const std::string& text, const char* kind) {
  throw ConvertError("'" + text + "' is not a valid " + kind + " value");
}

}  // namespace

double StrToFloat(const std::string& text) {
  const std::size_t start = SkipBlanks(text, 0);
  const std::size_t end = DecimalNumberEnd(text, start);
  if (end == std::string::npos || SkipBlanks(text, end) != text.size())
    Fail(text, "floating point");
  return StrtodC(text.substr(start, end - start).c_str());
}

std::int32_t StrToInt(const std::string& text) {
  std::size_t i = SkipBlanks(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  const std::size_t digitsStart = i;
  long long value = 0;
  for (; i < text.size(); ++i) {
    const int digit = std::isxdigit(static_cast<unsigned char>(text[i]))
                          ? (IsDigit(text[i]) ? text[i] - '0' : std::toupper(text[i]) - 'A' + 10)
                          : -1;
    if (digit < 0 || digit >= base) break;
    value = value * base + digit;
    if (value > 0x100000000LL) Fail(text, "integer");
  }
  if (i == digitsStart || SkipBlanks(text, i) != text.size()) Fail(text, "integer");
  if (base == 16 && value <= 0xFFFFFFFFLL)
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) Fail(text, "integer");
  return static_cast<std::int32_t>(value);
}

}  // namespace velluma
