#include <signal.h>

#include <csignal>
#include <iterator>

#include "platform/InterruptRequest.h"

namespace velluma {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t notedSignal = 0;
struct sigaction previousActions[std::size(kEndingSignals)];

void NoteSignal(int signal) {
  if (notedSignal == 0) notedSignal = signal;
}

}  // namespace

// Calls the signal interrupts are restarted, and the port's waits (which poll does not restart)
// wait out the rest of their time: the frame in flight and the patch being measured are finished
// first.
InterruptRequest::InterruptRequest() {
  notedSignal = 0;
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &action, &previousActions[i]);
}

InterruptRequest::~InterruptRequest() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
}

bool InterruptRequest::Requested() {
  return notedSignal != 0;
}

std::string InterruptRequest::SignalName() {
  switch (notedSignal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "";
  }
}

void InterruptRequest::EndAsNoted() {
  const int signal = notedSignal;
  if (signal == 0) return;
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  ::sigaction(signal, &defaultAction, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(signal);
}

}  // namespace velluma
