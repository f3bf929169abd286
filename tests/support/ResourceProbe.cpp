#include "tests/support/ResourceProbe.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace velluma::test {

namespace {

long long StatusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1));
  return -1;
}

struct Report {
  int value;
  long long growthKiB;
};

}  // namespace

ProbeResult Probe(const std::function<int()>& body, unsigned limitSeconds) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  std::fflush(nullptr);  // what is buffered now is written once, not again by the child
  std::cout.flush();
  const pid_t child = ::fork();
  if (child < 0) return {};
  if (child == 0) {
    ::close(channel[0]);
    ::alarm(limitSeconds);
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
    const long long start = StatusKiB("VmRSS");
    Report report{body(), 0};
    report.growthKiB = StatusKiB("VmHWM") - start;
    const bool written = ::write(channel[1], &report, sizeof report) == sizeof report;
    ::_exit(written ? 0 : 1);
  }
  ::close(channel[1]);
  Report report{};
  const bool reported = ::read(channel[0], &report, sizeof report) == sizeof report;
  ::close(channel[0]);
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  ProbeResult result;
  result.finished = reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.value = report.value;
  result.peakGrowthKiB = report.growthKiB;
  result.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                      usage.ru_stime.tv_usec / 1e6;
  return result;
}

}  // namespace velluma::test
