#include "bench/control/SignalWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace velluma::bench {
namespace {

volatile sig_atomic_t g_write_fd = -1;

void OnTerminate(int) {
  int saved = errno;
  char byte = 1;
  if (g_write_fd >= 0) [[maybe_unused]]
    auto ignored = ::write(g_write_fd, &byte, 1);
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

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : on_signal_(std::move(onSignal)) {
  int ends[2];
  if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe");
  }
  read_end_ = UniqueFd(ends[0]);
  write_end_ = UniqueFd(ends[1]);
  g_write_fd = ends[1];
  Handle(SIGTERM, OnTerminate);
  Handle(SIGINT, OnTerminate);
  Handle(SIGPIPE, SIG_IGN);
}

SignalWatcher::~SignalWatcher() {
  Handle(SIGTERM, SIG_DFL);
  Handle(SIGINT, SIG_DFL);
  g_write_fd = -1;
}

void SignalWatcher::CollectInterests(TimePoint, std::vector<PollInterest>& interests) {
  interests.push_back({read_end_.Get(), POLLIN});
}

void SignalWatcher::OnEvents(int, short, TimePoint) {
  char buffer[16];
  while (::read(read_end_.Get(), buffer, sizeof buffer) > 0) {
  }
  on_signal_();
}

}  // namespace velluma::bench
