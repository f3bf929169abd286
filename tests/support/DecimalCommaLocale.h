#pragma once

#include <clocale>

namespace velluma::test {

// Sets the C library's locale to a German one, whose numbers have a decimal comma; false when
// the system has none. scripts/setup generates de_DE.UTF-8 on Linux; Windows names it by
// language and country.
inline bool UseDecimalCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "German_Germany.1252", "de-DE", "German"})
    if (std::setlocale(LC_ALL, name)) return true;
  return false;
}

}  // namespace velluma::test
