// The bench's control requests on loopback TCP, as the Windows stand-ins reach them under Wine:
// the address the bench writes is one the stand-ins' client takes, and a request there acts on
// the same bench as one on the Unix socket.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/instruments/BenchClient.h"
#include "gtest/gtest.h"
#include "tests/support/BenchProcess.h"

namespace velluma::bench {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// One request over TCP; the answer's lines before the closing ".".
std::vector<std::string> RequestOverTcp(const client::TcpAddress& address,
                                        const std::string& line) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(address.port);
  if (::inet_pton(AF_INET, address.host.c_str(), &peer.sin_addr) != 1) {
    throw std::runtime_error("not an IPv4 address: " + address.host);
  }
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  timeval patience{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  std::string request = line + "\n";
  std::string answer;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0 &&
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
          static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    for (ssize_t count; answer.find("\n.\n") == std::string::npos && answer != ".\n" &&
                        (count = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
      answer.append(buffer, static_cast<size_t>(count));
    }
  }
  ::close(fd);
  std::vector<std::string> lines;
  std::istringstream stream(answer);
  for (std::string text; std::getline(stream, text) && text != ".";) lines.push_back(text);
  return lines;
}

TEST(TcpControl, AnswersOnLoopbackAsTheSocketDoesAndGoesWithTheBench) {
  BenchProcess bench({"--control-tcp", "0"});
  std::string addressFile = bench.PortsDir() + "/bench.tcp";
  std::string written = ReadFile(addressFile);
  ASSERT_EQ(written.rfind("127.0.0.1:", 0), 0u) << written;
  ASSERT_EQ(written.back(), '\n');
  std::optional<client::TcpAddress> address =
      client::ParseTcpAddress(written.substr(0, written.size() - 1));
  ASSERT_TRUE(address.has_value()) << written;

  // Requests over TCP change the bench that the socket sees, and the other way round.
  bench.ShowPatch(255, 255, 255);
  EXPECT_EQ(RequestOverTcp(*address, "measure"), bench.Request("measure"));
  EXPECT_EQ(RequestOverTcp(*address, "fault ca:zero code 412"), std::vector<std::string>{"ok"});
  EXPECT_EQ(bench.Request("ca Ca.22"), std::vector<std::string>{"code 412"});
  EXPECT_EQ(RequestOverTcp(*address, "log ca"), std::vector<std::string>{"Ca.22"});
  EXPECT_EQ(RequestOverTcp(*address, "state"), bench.Request("state"));

  EXPECT_EQ(RequestOverTcp(*address, "quit"), std::vector<std::string>{"ok"});
  EXPECT_EQ(bench.WaitForExit(), 0);
  EXPECT_FALSE(std::filesystem::exists(addressFile));
}

TEST(TcpControl, ABenchWhosePortIsTakenDoesNotStart) {
  BenchProcess first({"--control-tcp", "0"});
  std::string written = ReadFile(first.PortsDir() + "/bench.tcp");
  std::string port =
      written.substr(written.find(':') + 1, written.find('\n') - written.find(':') - 1);
  try {
    BenchProcess second({"--control-tcp", port});
    ADD_FAILURE() << "a second bench started on port " << port;
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("bind 127.0.0.1:" + port), std::string::npos)
        << error.what();
  }
}

TEST(TcpControl, TheClientTakesOnlyAHostAndAPortItCanUse) {
  struct Case {
    std::string text;
    bool taken;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"127.0.0.1:5000", true, "the bench's own form"},
      {"127.0.0.1:65535", true, "the highest port"},
      {"127.0.0.1:65536", false, "a port beyond 16 bits"},
      {"127.0.0.1:0", false, "port 0 is where the bench would pick one, not an address"},
      {"127.0.0.1", false, "no port"},
      {":5000", false, "no host"},
      {"127.0.0.1:", false, "an empty port"},
      {"127.0.0.1:50x", false, "a port with trailing text"},
      {"127.0.0.1:-1", false, "a negative port"},
      {"127.0.0.1: 5000", false, "a blank before the port"},
      {"", false, "nothing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " (" + c.why + ")");
    std::optional<client::TcpAddress> address = client::ParseTcpAddress(c.text);
    EXPECT_EQ(address.has_value(), c.taken);
  }
  std::optional<client::TcpAddress> address = client::ParseTcpAddress("127.0.0.1:5000");
  ASSERT_TRUE(address.has_value());
  EXPECT_EQ(address->host, "127.0.0.1");
  EXPECT_EQ(address->port, 5000);
}

}  // namespace
}  // namespace velluma::bench
