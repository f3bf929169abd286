#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <iterator>

#include "platform/InterruptCleanup.h"

namespace velluma {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the signal handler removes: fixed buffers, since it may not allocate.
char signalFolder[PATH_MAX];
char signalFile[PATH_MAX];
volatile std::sig_atomic_t signalArmed = 0;
struct sigaction previousActions[std::size(kEndingSignals)];

// Removes the file and its folder, then lets the signal end the process as it would have.
void RemoveOnSignal(int signal) {
  if (signalArmed) {
    ::unlink(signalFile);
    ::rmdir(signalFolder);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void ArmInterruptCleanup(const std::string& folder, const std::string& file) {
  if (signalArmed) DisarmInterruptCleanup();
  std::strncpy(signalFolder, folder.c_str(), sizeof signalFolder - 1);
  std::strncpy(signalFile, file.c_str(), sizeof signalFile - 1);
  struct sigaction action {};
  action.sa_handler = RemoveOnSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &action, &previousActions[i]);
  signalArmed = 1;
}

void DisarmInterruptCleanup() {
  if (!signalArmed) return;
  signalArmed = 0;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
}

}  // namespace velluma
