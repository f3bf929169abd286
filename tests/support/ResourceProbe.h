#pragma once

#include <functional>

namespace velluma::test {

// What one run of a body cost, measured in a child process of its own so that nothing the test
// process did before counts.
struct ProbeResult {
  bool finished = false;  // the body returned within the time limit (no crash, no hang)
  int value = 0;          // what the body returned
  double cpuSeconds = 0;  // user and system time: the same on a busy machine as on an idle one
  long long peakGrowthKiB = 0;  // how far the peak resident set grew above its size at the start
};

// Runs `body` in a forked child that is killed after `limitSeconds` of real time (a body that
// blocks, such as an open of a FIFO without a writer, ends as not finished).
ProbeResult Probe(const std::function<int()>& body, unsigned limitSeconds = 60);

}  // namespace velluma::test
