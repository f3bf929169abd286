#include "bench/monitor/FixedFields.h"

#include <charconv>

#include "bench/wire/WireFormat.h"

namespace velluma::bench::fields {
namespace {

constexpr size_t kDecimalStride = 7;
constexpr size_t kLongestLastDecimal = 16;
constexpr size_t kHexStride = 3;

bool LooksDecimal(std::string_view text) {
  size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  int points = 0;
  int digits = 0;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] == '.') {
      ++points;
    } else if (text[i] >= '0' && text[i] <= '9') {
      ++digits;
    } else {
      return false;
    }
  }
  return points <= 1 && digits > 0;
}

std::optional<double> ParseDecimal(std::string_view text) {
  if (!LooksDecimal(text)) return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::vector<double>> ParseDecimalRun(std::string_view data, size_t count) {
  if (count == 0 || data.size() < count * kDecimalStride) return std::nullopt;
  size_t lastStart = (count - 1) * kDecimalStride;
  if (data.size() - lastStart > kLongestLastDecimal) return std::nullopt;
  std::vector<double> values;
  for (size_t i = 0; i < count; ++i) {
    size_t length = (i + 1 < count) ? kDecimalStride : std::string_view::npos;
    std::optional<double> value = ParseDecimal(data.substr(i * kDecimalStride, length));
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

std::optional<std::vector<int>> ParseHexRun(std::string_view data, size_t count) {
  if (data.size() != count * kHexStride) return std::nullopt;
  std::vector<int> values;
  for (size_t i = 0; i < count; ++i) {
    std::optional<long> value = wire::ParseUpperHex(data.substr(i * kHexStride, kHexStride));
    if (!value) return std::nullopt;
    values.push_back(static_cast<int>(*value));
  }
  return values;
}

}  // namespace velluma::bench::fields
