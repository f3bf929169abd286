#include "lut/CNumberScanner.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace velluma {
namespace {

// Exponents are read up to this magnitude; anything beyond is already far outside a double.
constexpr long long kExponentSaturation = 1LL << 40;

// The plain decimal numbers converted without the general conversion: at most this many digits
// (10^19 - 1 fits 64 bits), their value at most 2^53 (every integer up to it is a double).
constexpr int kMaxPlainDigits = 19;
constexpr std::uint64_t kMaxExactInteger = std::uint64_t{1} << 53;
// The powers of ten a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
static_assert(kMaxPlainDigits < static_cast<int>(kExactPowersOfTen.size()));
// One division of two exact doubles is correctly rounded only where doubles are evaluated as
// doubles.
static_assert(FLT_EVAL_METHOD == 0);

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The end of the run of decimal digits that begins at `at`.
const char* SkipDigits(const char* at, const char* end) {
  while (at < end && IsDigit(*at)) ++at;
  return at;
}

// The digits of [first, last) as one integer, the decimal point skipped.
std::uint64_t DigitsValue(const char* first, const char* last) {
  std::uint64_t value = 0;
  for (; first < last; ++first)
    if (*first != '.') value = value * 10 + static_cast<unsigned>(*first - '0');
  return value;
}

// The form nearly every LUT is written in: digits with at most one decimal point ("0.5", "12",
// ".25", "7."), followed by white space or the end of the text, so that the longest run of number
// characters is the number itself. With at most kMaxPlainDigits digits worth at most 2^53, the
// value is digits / 10^fraction digits: one correctly rounded division of two exact doubles,
// which is the correctly rounded value strtod gives. The form alone decides that the conversion
// succeeds; the value is worked out only when wanted. Returns the end of the number, or null for
// anything else (and a value it cannot work out this way), which the general conversion reads.
const char* PlainDecimal(const char* at, const char* end, bool valueWanted, double& value) {
  const char* const first = at;
  at = SkipDigits(at, end);
  const bool pointSeen = at < end && *at == '.';
  const char* const point = at;
  if (pointSeen) at = SkipDigits(at + 1, end);
  const std::ptrdiff_t digitCount = at - first - (pointSeen ? 1 : 0);
  if (digitCount == 0 || (at < end && !IsCWhitespace(*at))) return nullptr;
  if (!valueWanted) return at;
  if (digitCount > kMaxPlainDigits) return nullptr;
  const std::uint64_t digits = DigitsValue(first, at);
  if (digits > kMaxExactInteger) return nullptr;
  const std::ptrdiff_t fractionDigits = pointSeen ? at - point - 1 : 0;
  value = static_cast<double>(digits) / kExactPowersOfTen[static_cast<std::size_t>(fractionDigits)];
  return at;
}

// Whether a number that does not fit a double overflows rather than underflows: the position
// of its first non-zero digit, scaled to powers of the exponent's base, plus the exponent.
bool IsTooLarge(std::string_view mantissa, long long exponent, bool hexadecimal) {
  const std::size_t point = mantissa.find('.');
  const auto integerDigits =
      static_cast<long long>(point == std::string_view::npos ? mantissa.size() : point);
  long long leadingZeros = 0;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (c != '0') break;
    ++leadingZeros;
  }
  const long long bitsPerDigit = hexadecimal ? 4 : 1;
  return (integerDigits - leadingZeros) * bitsPerDigit + exponent > 0;
}

// Converts the longest number at the start of `body` as strtod does (decimal, or hexadecimal
// with its "0x" already taken off). None when no number starts there.
std::optional<double> ConvertLongestNumber(std::string_view body, bool hexadecimal) {
  const auto isMantissaDigit = hexadecimal ? IsHexDigit : IsDigit;
  std::size_t end = 0;
  std::size_t digits = 0;
  while (end < body.size() && isMantissaDigit(body[end])) ++end, ++digits;
  if (end < body.size() && body[end] == '.') {
    ++end;
    while (end < body.size() && isMantissaDigit(body[end])) ++end, ++digits;
  }
  // "0x" without digits is the number 0 followed by an "x".
  if (digits == 0) return hexadecimal ? std::optional<double>(0.0) : std::nullopt;
  const std::string_view mantissa = body.substr(0, end);

  long long exponent = 0;
  const char exponentChar = hexadecimal ? 'p' : 'e';
  if (end < body.size() && Lower(body[end]) == exponentChar) {
    std::size_t next = end + 1;
    const bool negative = next < body.size() && body[next] == '-';
    if (next < body.size() && (body[next] == '-' || body[next] == '+')) ++next;
    if (next < body.size() && IsDigit(body[next])) {
      for (; next < body.size() && IsDigit(body[next]); ++next) {
        if (exponent < kExponentSaturation) exponent = exponent * 10 + (body[next] - '0');
      }
      if (negative) exponent = -exponent;
      end = next;
    }
  }

  double value = 0.0;
  const char* first = body.data();
  const auto [last, error] = std::from_chars(
      first, first + end, value, hexadecimal ? std::chars_format::hex : std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    return IsTooLarge(mantissa, exponent, hexadecimal) ? std::numeric_limits<double>::infinity()
                                                       : 0.0;
  }
  if (error != std::errc{} || last != first + end) return std::nullopt;
  return value;
}

}  // namespace

CNumberScanner::CNumberScanner(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

bool CNumberScanner::SkipWord(std::string_view lowerCaseWord) {
  for (char expected : lowerCaseWord) {
    if (pos_ >= text_.size() || Lower(text_[pos_]) != expected) return false;
    ++pos_;
  }
  return true;
}

// "nan", "inf" or "infinity" in any case; "inf" followed by an "i" must go on to "infinity".
std::optional<double> CNumberScanner::InfinityOrNaN(bool negative) {
  double value = 0.0;
  if (Lower(text_[pos_]) == 'n') {
    if (!SkipWord("nan")) return std::nullopt;
    value = std::numeric_limits<double>::quiet_NaN();
  } else {
    if (!SkipWord("inf")) return std::nullopt;
    if (pos_ < text_.size() && Lower(text_[pos_]) == 'i' && !SkipWord("inity")) {
      return std::nullopt;
    }
    value = std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

// Takes every character that can continue a number: digits (hexadecimal ones before the
// exponent of a hexadecimal number), one decimal point before the exponent, the exponent letter
// once a digit has been seen, and a sign right after the exponent letter.
void CNumberScanner::CollectNumberRun(bool hexadecimal, bool digitSeen) {
  const char exponentChar = hexadecimal ? 'p' : 'e';
  bool exponentSeen = false;
  bool pointSeen = false;
  for (; pos_ < text_.size(); ++pos_) {
    const char c = text_[pos_];
    if (IsDigit(c) || (!exponentSeen && hexadecimal && IsHexDigit(c))) {
      digitSeen = true;
    } else if (exponentSeen && Lower(text_[pos_ - 1]) == exponentChar && (c == '-' || c == '+')) {
      // the exponent's sign
    } else if (digitSeen && !exponentSeen && Lower(c) == exponentChar) {
      exponentSeen = pointSeen = true;
    } else if (!pointSeen && c == '.') {
      pointSeen = true;
    } else {
      return;
    }
  }
}

std::optional<double> CNumberScanner::Real() {
  double value = 0.0;
  if (!NextReal(value, true)) return std::nullopt;
  return value;
}

bool CNumberScanner::Reals(std::span<double> values) {
  for (double& value : values)
    if (!NextReal(value, true)) return false;
  return true;
}

bool CNumberScanner::SkipReals(int count) {
  double ignored = 0.0;
  for (int i = 0; i < count; ++i)
    if (!NextReal(ignored, false)) return false;
  return true;
}

// The values go back through a reference, not an optional: returned as an optional from the
// per-number steps, they cost the hot path of a large cube a stall on every number.
bool CNumberScanner::NextReal(double& value, bool valueWanted) {
  SkipWhitespace();
  if (pos_ >= text_.size()) return false;
  const bool negative = text_[pos_] == '-';
  if (text_[pos_] == '-' || text_[pos_] == '+') {
    if (++pos_ >= text_.size()) return false;
  }
  std::optional<double> general;
  const char first = Lower(text_[pos_]);
  if (first == 'n' || first == 'i') {
    general = InfinityOrNaN(negative);
  } else if (const char* after = PlainDecimal(text_.data() + pos_, text_.data() + text_.size(),
                                              valueWanted, value)) {
    pos_ = static_cast<std::size_t>(after - text_.data());
    if (negative) value = -value;
    return true;
  } else {
    general = GeneralReal(negative);
  }
  if (!general) return false;
  value = *general;
  return true;
}

// Any other number: the longest run of characters that can begin a number, converted as strtod
// converts its longest number.
std::optional<double> CNumberScanner::GeneralReal(bool negative) {
  const std::size_t numberStart = pos_;
  bool hexadecimal = false;
  bool digitSeen = false;
  if (text_[pos_] == '0') {
    ++pos_;
    if (pos_ < text_.size() && Lower(text_[pos_]) == 'x') {
      ++pos_;
      hexadecimal = true;
    } else {
      digitSeen = true;
    }
  }
  CollectNumberRun(hexadecimal, digitSeen);
  // "0x" without anything after it is refused outright, signed or not.
  if (hexadecimal && pos_ - numberStart == 2) return std::nullopt;

  const std::string_view number = text_.substr(numberStart, pos_ - numberStart);
  const auto value = ConvertLongestNumber(number.substr(hexadecimal ? 2 : 0), hexadecimal);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

std::optional<std::int64_t> CNumberScanner::Integer() {
  SkipWhitespace();
  if (pos_ >= text_.size()) return std::nullopt;
  const bool negative = text_[pos_] == '-';
  if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
  if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return std::nullopt;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t magnitude = 0;
  for (; pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_) {
    const int digit = text_[pos_] - '0';
    magnitude = magnitude > (kMax - digit) / 10 ? kMax : magnitude * 10 + digit;
  }
  return negative ? -magnitude : magnitude;
}

}  // namespace velluma
