#include "platform/CLocale.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velluma {

std::string FormatC(const char* format, ...) {
  ScopedCLocale c;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

double StrtodC(const char* text, const char** end) {
  ScopedCLocale c;
  char* stop = nullptr;
  double value = std::strtod(text, &stop);
  if (end) *end = stop;
  return value;
}

}  // namespace velluma
