#pragma once

#include <string>

namespace velluma {

// Numbers on the wire and in files never depend on the locale. The application framework sets
// the C library's locale from the environment at start-up, after which printf, strtod and sscanf
// would write and read decimal commas; these run them in the C locale on the calling thread.

// printf-style formatting in the C locale. GCC and Clang check the arguments against the format.
#if defined(__GNUC__)
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
std::string FormatC(const char* format, ...);
#endif

// strtod in the C locale; `end` as strtod sets it (an offset into `text`).
double StrtodC(const char* text, const char** end = nullptr);

// Runs the C library's formatting and parsing in the C locale for as long as it lives.
class ScopedCLocale {
 public:
  ScopedCLocale();
  ~ScopedCLocale();
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  void* previous_;  // what to give back: a locale_t on POSIX, the saved thread setting on Windows
};

}  // namespace velluma
