#pragma once

namespace velluma {

// While an InterruptRequest lives, an interrupt from the keyboard (SIGINT on POSIX, Ctrl+C and
// Ctrl+Break on Windows) does not end the process: it is noted, and a long procedure asks
// Requested() at its next step, stops there and reports what it has done. The one before is
// put back when it ends. One at a time per process.
class InterruptRequest {
 public:
  InterruptRequest();
  ~InterruptRequest();
  InterruptRequest(const InterruptRequest&) = delete;
  InterruptRequest& operator=(const InterruptRequest&) = delete;

  static bool Requested();
};

}  // namespace velluma
