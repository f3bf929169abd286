#include "lut/LUTKeyword.h"

#include <ios>

#include "lut/CNumberScanner.h"

namespace velluma {

std::optional<std::string_view> TextAfterKeyword(std::string_view line, std::string_view keyword) {
  const std::size_t at = line.find(keyword);
  if (at == std::string_view::npos) return std::nullopt;
  return line.substr(at + keyword.size());
}

std::int64_t ParsePositiveInteger(std::string_view text) {
  const auto value = CNumberScanner(text).Integer();
  if (!value || *value <= 0) RaiseReadFailure();
  return *value;
}

void RaiseReadFailure() {
  throw std::ios_base::failure("");
}

}  // namespace velluma
