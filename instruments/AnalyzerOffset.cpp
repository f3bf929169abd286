#include "instruments/AnalyzerOffset.h"

#include <cmath>

#include "platform/CLocale.h"

namespace velluma {

namespace {
constexpr double kLimit = 0.0999;
}

std::optional<std::string> CheckedOffsetText(const std::string& text) {
  if (text.empty() || text == "-" || text == "+") return text;
  const char* end = nullptr;
  const double value = StrtodC(text.c_str(), &end);
  const bool whole = end == text.c_str() + text.size() && end != text.c_str();
  if (!whole || std::isnan(value) || value < -kLimit || value > kLimit) return std::nullopt;
  // The x edit writes "+%0.4f" and the y edit "%+0.4f": the same text for a positive value.
  return FormatC(value > 0 ? "+%0.4f" : "%0.4f", value);
}

double OffsetValue(const std::string& text) {
  return StrtodC(text.c_str());
}

}  // namespace velluma
