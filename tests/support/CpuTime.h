#pragma once

#include <chrono>

namespace velluma::test {

// The processor time the calling thread has used: what a bound on the cost of a computation
// should measure, since it does not grow while the thread waits for a core on a busy machine.
std::chrono::duration<double> ThreadCpuTime();

}  // namespace velluma::test
