#include "bench/loop/SignalWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace velluma::bench {
namespace {

// The pipe end the signal handler writes to; -1 while no watcher is alive. A handler can reach
// nothing but a global.
volatile sig_atomic_t signalWriteFd = -1;

void OnTerminate(int) {
  int saved = errno;
  char byte = 1;
  if (signalWriteFd >= 0) [[maybe_unused]]
    auto ignored = ::write(signalWriteFd, &byte, 1);
  errno = saved;
}

void Handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  int ends[2];
  if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe");
  }
  readEnd_ = UniqueFd(ends[0]);
  writeEnd_ = UniqueFd(ends[1]);
  signalWriteFd = ends[1];
  Handle(SIGTERM, OnTerminate);
  Handle(SIGINT, OnTerminate);
  Handle(SIGPIPE, SIG_IGN);
}

SignalWatcher::~SignalWatcher() {
  Handle(SIGTERM, SIG_DFL);
  Handle(SIGINT, SIG_DFL);
  signalWriteFd = -1;
}

void SignalWatcher::CollectInterests(TimePoint, std::vector<PollInterest>& interests) {
  interests.push_back({readEnd_.Get(), POLLIN});
}

void SignalWatcher::OnEvents(int, short, TimePoint) {
  char buffer[16];
  while (::read(readEnd_.Get(), buffer, sizeof buffer) > 0) {
  }
  onSignal_();
}

}  // namespace velluma::bench
