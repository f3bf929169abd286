#include <signal.h>

#include <csignal>

#include "platform/InterruptRequest.h"

namespace velluma {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction previousAction;

void NoteInterrupt(int) {
  interrupted = 1;
}

}  // namespace

// Calls the signal interrupts are restarted, and the port's waits (which poll does not restart)
// wait out the rest of their time: the patch being measured is finished first.
InterruptRequest::InterruptRequest() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = NoteInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &previousAction);
}

InterruptRequest::~InterruptRequest() {
  ::sigaction(SIGINT, &previousAction, nullptr);
}

bool InterruptRequest::Requested() {
  return interrupted != 0;
}

}  // namespace velluma
