#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velluma {

// The characters the C library counts as white space in the C locale: the readers trim exactly
// these, and each number conversion skips them before its number.
inline constexpr std::string_view kCWhitespace = " \f\n\r\t\v";

// Whether `c` is one of kCWhitespace: the space, or one of \t \n \v \f \r, which follow each
// other in the character set.
inline bool IsCWhitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads numbers from a line the way the C conversions "%lf" and "%d" of sscanf read them in the
// C locale, but without the C library, so the reading never depends on the process's locale
// (the application sets it from the environment, which may make strtod expect a decimal comma).
//
// As sscanf does, it sees the text only up to its first NUL character, skips white space before
// each number, and for "%lf" first takes the longest run of characters that can begin a number
// (sign, digits, one decimal point, an exponent with its sign, "0x" with hexadecimal digits and a
// "p" exponent, "nan", "inf", "infinity"), then converts the longest number at the start of that
// run; the rest of the run is consumed and lost. A run in which no number starts ("-", ".",
// "0x", "infin") is a failed conversion; the sign is applied to the number converted. A value too
// large for a double reads as an infinity, one too small as zero, as strtod gives them.
//
// "%d" reads an optional sign and decimal digits. Beyond the 64-bit range it saturates (the C
// conversion's result would be undefined there); callers bound the value themselves.
class CNumberScanner {
 public:
  explicit CNumberScanner(std::string_view text);

  // The next "%lf" conversion, or none when it fails (the position then means nothing).
  std::optional<double> Real();
  // The next values.size() "%lf" conversions, as many calls of Real() give them; false as soon
  // as one fails (`values` then holds what was read before it).
  bool Reals(std::span<double> values);
  // Whether the next `count` "%lf" conversions succeed, as Reals tells it, without working out
  // the values where their form alone decides.
  bool SkipReals(int count);
  // The next "%d" conversion, or none when it fails.
  std::optional<std::int64_t> Integer();

  // How many characters the conversions so far have consumed (as "%n" reports it).
  std::size_t Position() const { return pos_; }

 private:
  void SkipWhitespace() {
    while (pos_ < text_.size() && IsCWhitespace(text_[pos_])) ++pos_;
  }
  bool NextReal(double& value, bool valueWanted);
  std::optional<double> GeneralReal(bool negative);
  bool SkipWord(std::string_view lowerCaseWord);
  std::optional<double> InfinityOrNaN(bool negative);
  void CollectNumberRun(bool hexadecimal, bool digitSeen);

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace velluma
