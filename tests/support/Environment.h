#pragma once

#include <cstdlib>

namespace velluma::test {

// Sets or removes one environment variable of the test process, on POSIX and on Windows alike.
inline void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  ::_putenv_s(name, value);
#else
  ::setenv(name, value, 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");  // an empty value removes the variable on Windows
#else
  ::unsetenv(name);
#endif
}

}  // namespace velluma::test
