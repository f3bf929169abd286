#include "tests/support/CpuTime.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace velluma::test {

std::chrono::duration<double> ThreadCpuTime() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return {};
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return std::chrono::duration<double>((ticks(kernel) + ticks(user)) * 1e-7);  // 100 ns ticks
#else
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::duration<double>(now.tv_sec + now.tv_nsec * 1e-9);
#endif
}

}  // namespace velluma::test
