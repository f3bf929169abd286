#pragma once

#include <string>

namespace velluma {

// While an InterruptRequest lives, the signals that ask a program to end (SIGINT, SIGTERM and
// SIGHUP on POSIX; Ctrl+C, Ctrl+Break and the closing of the console window on Windows) do not
// end the process: the first is noted, a long procedure asks Requested() at its next step, stops
// there and leaves the devices as its own failure paths do. When the run has been tidied up,
// EndAsNoted() ends the process as that signal would have. The handlers before are put back when
// it ends. One at a time per process.
class InterruptRequest {
 public:
  InterruptRequest();
  ~InterruptRequest();
  InterruptRequest(const InterruptRequest&) = delete;
  InterruptRequest& operator=(const InterruptRequest&) = delete;

  static bool Requested();
  // The noted signal's name ("SIGINT", "SIGTERM", "SIGHUP"; "Ctrl+C", "Ctrl+Break", "the console
  // closing" on Windows); empty when none was noted.
  static std::string SignalName();
  // Ends the process as the noted signal does by default (on POSIX it is raised again, so the
  // parent sees the signal as the cause); returns when none was noted.
  static void EndAsNoted();
};

}  // namespace velluma
