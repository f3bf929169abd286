#include <windows.h>

#include <atomic>

#include "platform/InterruptRequest.h"

namespace velluma {

namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own; claiming Ctrl+C and Ctrl+Break keeps the handlers installed
// before (and the system's, which ends the process) from seeing them.
BOOL WINAPI NoteInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  return TRUE;
}

}  // namespace

InterruptRequest::InterruptRequest() {
  interrupted = false;
  ::SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

InterruptRequest::~InterruptRequest() {
  ::SetConsoleCtrlHandler(NoteInterrupt, FALSE);
}

bool InterruptRequest::Requested() {
  return interrupted;
}

}  // namespace velluma
