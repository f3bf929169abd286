#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/InterruptRequest.h"

namespace velluma {

namespace {

// How long the system lets a closing console's handler hold the process: about 5 s, after which
// it ends the process anyway. The run gets nearly all of it to leave the devices tidy.
constexpr DWORD kCloseGraceMs = 4500;
// The exit status of a program ended by Ctrl+C (STATUS_CONTROL_C_EXIT).
constexpr unsigned kControlCExit = 0xC000013Au;

std::atomic<DWORD> notedEvent{~DWORD{0}};
HANDLE runEnded = nullptr;  // set when the run is tidy, for a closing console to go on

bool Noted() {
  return notedEvent != ~DWORD{0};
}

// Runs on a thread of its own; claiming the event keeps the handlers installed before (and the
// system's, which ends the process at once) from seeing it. A closing console ends the process
// when this returns, so that one waits for the run to be tidy first.
BOOL WINAPI NoteEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  DWORD none = ~DWORD{0};
  notedEvent.compare_exchange_strong(none, event);
  if (event == CTRL_CLOSE_EVENT && runEnded) ::WaitForSingleObject(runEnded, kCloseGraceMs);
  return TRUE;
}

}  // namespace

InterruptRequest::InterruptRequest() {
  notedEvent = ~DWORD{0};
  runEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(NoteEvent, TRUE);
}

InterruptRequest::~InterruptRequest() {
  if (runEnded) ::SetEvent(runEnded);
  ::SetConsoleCtrlHandler(NoteEvent, FALSE);
}

bool InterruptRequest::Requested() {
  return Noted();
}

std::string InterruptRequest::SignalName() {
  switch (notedEvent) {
    case CTRL_C_EVENT:
      return "Ctrl+C";
    case CTRL_BREAK_EVENT:
      return "Ctrl+Break";
    case CTRL_CLOSE_EVENT:
      return "the console closing";
    default:
      return "";
  }
}

void InterruptRequest::EndAsNoted() {
  if (!Noted()) return;
  if (runEnded) ::SetEvent(runEnded);
  std::_Exit(static_cast<int>(kControlCExit));
}

}  // namespace velluma
