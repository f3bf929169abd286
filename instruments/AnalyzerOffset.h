#pragma once

#include <optional>
#include <string>

namespace velluma {

// The analyzer offset edits: what a text left in an edit becomes when the edit loses the focus.
// Empty, or a lone "-" or "+", stays as it is. A whole-text number from -0.0999 to +0.0999 is
// rewritten with four decimals and, above 0, a plus sign. Anything else is refused (nullopt):
// the edit is emptied and the operator told "Input value ERROR!\n-0.0999 < value < 0.0999".
std::optional<std::string> CheckedOffsetText(const std::string& text);

// An offset as the measurements read it: strtod of the text, so empty or a lone sign is 0.
double OffsetValue(const std::string& text);

constexpr const char* kOffsetErrorText = "Input value ERROR!\n-0.0999 < value < 0.0999";
constexpr const char* kOffsetErrorCaption = "AnalyzerOffset";

}  // namespace velluma
