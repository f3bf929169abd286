#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "bench/loop/LoopClient.h"
#include "bench/loop/UniqueFd.h"

namespace velluma::bench {

// The bench's control socket: a Unix stream socket that takes requests one a line and sends
// each answer's lines followed by a line ".". Any number of clients, each served until it
// closes its side. The same server listens on loopback TCP for programs that cannot reach a
// Unix socket (Windows programs under Wine).
class ControlServer : public LoopClient {
 public:
  using Handler = std::function<std::vector<std::string>(const std::string&)>;

  // Listens at `socketPath`, replacing a stale socket there. Throws std::system_error.
  ControlServer(std::filesystem::path socketPath, Handler handler);
  // Listens on 127.0.0.1 at `port` (0: a free port the system picks) and writes the address it
  // listens on, "127.0.0.1:PORT" and a line end, into `addressFile`, where a script finds it.
  // Never on another interface: whoever reaches the port drives the bench. Throws
  // std::system_error.
  ControlServer(uint16_t port, std::filesystem::path addressFile, Handler handler);
  // Sends what is still owed to clients (briefly), then removes the socket or the address file.
  ~ControlServer();

  ControlServer(const ControlServer&) = delete;
  ControlServer& operator=(const ControlServer&) = delete;

  void CollectInterests(TimePoint now, std::vector<PollInterest>& interests) override;
  std::optional<TimePoint> NextDeadline(TimePoint) const override { return std::nullopt; }
  void OnEvents(int fd, short revents, TimePoint now) override;
  void OnTick(TimePoint now) override;

 private:
  struct Connection {
    UniqueFd fd;
    std::string in;
    std::string out;
    bool inputClosed = false;
    bool broken = false;
  };

  void Accept();
  void Receive(Connection& connection);
  void AnswerLines(Connection& connection);
  void Send(Connection& connection);

  // The Unix socket, or the file that names the TCP address.
  std::filesystem::path path_;
  Handler handler_;
  UniqueFd listener_;
  std::list<Connection> connections_;
};

}  // namespace velluma::bench
