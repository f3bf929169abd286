#include "bench/loop/EventLoop.h"

#include <poll.h>

#include <cerrno>
#include <system_error>

namespace velluma::bench {

void EventLoop::Add(LoopClient& client) {
  clients_.push_back(&client);
}

void EventLoop::Run() {
  while (!stopped_) RunOnce();
}

int EventLoop::TimeoutMs(TimePoint now) const {
  std::optional<TimePoint> earliest;
  for (const LoopClient* client : clients_) {
    std::optional<TimePoint> deadline = client->NextDeadline(now);
    if (deadline && (!earliest || *deadline < *earliest)) earliest = deadline;
  }
  if (!earliest) return -1;
  if (*earliest <= now) return 0;
  // Round up so the loop never wakes before the deadline and spins.
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(*earliest - now);
  return static_cast<int>(wait.count());
}

void EventLoop::RunOnce() {
  TimePoint now = Clock::now();
  std::vector<PollInterest> interests;
  std::vector<LoopClient*> owners;
  for (LoopClient* client : clients_) {
    size_t before = interests.size();
    client->CollectInterests(now, interests);
    owners.insert(owners.end(), interests.size() - before, client);
  }
  std::vector<pollfd> fds;
  for (const PollInterest& interest : interests) fds.push_back({interest.fd, interest.events, 0});

  int ready = ::poll(fds.data(), fds.size(), TimeoutMs(now));
  if (ready < 0 && errno != EINTR) throw std::system_error(errno, std::generic_category(), "poll");

  now = Clock::now();
  for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
    if (fds[i].revents != 0) owners[i]->OnEvents(fds[i].fd, fds[i].revents, now);
  }
  for (LoopClient* client : clients_) client->OnTick(now);
}

}  // namespace velluma::bench
