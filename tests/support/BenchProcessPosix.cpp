// The bench as the test's child, on a ports directory of its own, reached over its Unix socket.
#include "tests/support/BenchProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/RawLine.h"

#ifndef VELLUMA_BENCH_PATH
#error "VELLUMA_BENCH_PATH must name the velluma-bench executable"
#endif

extern char** environ;

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/velluma-bench-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary directory: " +
                             std::string(std::strerror(errno)));
  }
  return pattern;
}

// Reads from `fd` until `done` says the text is complete or the deadline passes.
template <typename Done>
std::string ReadUntil(int fd, std::chrono::steady_clock::time_point deadline, Done done) {
  std::string text;
  while (!done(text)) {
    pollfd waiting{fd, POLLIN, 0};
    int ready = ::poll(&waiting, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char buffer[65536];
    ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count <= 0) break;
    text.append(buffer, static_cast<size_t>(count));
  }
  return text;
}

int Connect(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    return fd;
  }
  std::string reason = std::strerror(errno);
  if (fd >= 0) ::close(fd);
  throw std::runtime_error("cannot reach the bench at " + path + ": " + reason);
}

}  // namespace

BenchProcess::BenchProcess(std::vector<std::string> extraArgs) {
  tempDir_ = MakeTempDir();
  portsDir_ = tempDir_ + "/ports";
  try {
    Start(extraArgs);
  } catch (...) {
    Kill();
    std::error_code ignored;
    std::filesystem::remove_all(tempDir_, ignored);
    throw;
  }
}

BenchProcess::~BenchProcess() {
  if (pid_ > 0) {
    try {
      Request("quit");
      WaitForExit();
    } catch (const std::exception&) {
      try {
        Terminate();
      } catch (const std::exception&) {
      }
    }
    Kill();
  }
  std::error_code ignored;
  std::filesystem::remove_all(tempDir_, ignored);
}

std::string BenchProcess::MonitorDevice() const {
  return portsDir_ + "/COM1";
}

std::string BenchProcess::Pr655Device() const {
  return portsDir_ + "/COM2";
}

std::string BenchProcess::SocketPath() const {
  return portsDir_ + "/bench.sock";
}

std::string BenchProcess::MonitorExchange(const std::string& body) {
  velluma::test::RawLine line(MonitorDevice());
  try {
    line.Write("\x02" + body + "\x03");
  } catch (const std::runtime_error&) {
    throw std::runtime_error("cannot write to " + MonitorDevice());
  }
  return line.ReadUntil([](const std::string& text) { return !text.empty() && text.back() == 3; },
                        std::chrono::seconds(2));
}

void BenchProcess::Start(const std::vector<std::string>& extraArgs) {
  std::vector<std::string> arguments = {VELLUMA_BENCH_PATH, "--ports", portsDir_};
  arguments.insert(arguments.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  std::string stderrPath = tempDir_ + "/bench.stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // The bench starts with every signal at its default, whatever its starter ignores (the pty
  // relay ignores SIGHUP and SIGCHLD).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigfillset(&defaults);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  int failed = ::posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (failed != 0) {
    ::close(ends[0]);
    pid_ = -1;
    throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(failed));
  }
  try {
    WaitForReady(ends[0]);
  } catch (...) {
    ::close(ends[0]);
    throw;
  }
  ::close(ends[0]);
}

void BenchProcess::WaitForReady(int readFd) {
  auto deadline = std::chrono::steady_clock::now() + kPatience;
  std::string said = ReadUntil(readFd, deadline, [](const std::string& text) {
    return text.find('\n') != std::string::npos;
  });
  if (said == "ready\n") return;
  Kill();
  throw std::runtime_error("velluma-bench did not get ready: " + StderrText());
}

std::string BenchProcess::StderrText() const {
  std::ifstream file(tempDir_ + "/bench.stderr");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> BenchProcess::Request(const std::string& line) {
  int fd = Connect(portsDir_ + "/bench.sock");
  std::string request = line + "\n";
  bool sent = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
              static_cast<ssize_t>(request.size());
  std::string answer =
      sent ? ReadUntil(fd, std::chrono::steady_clock::now() + kPatience, EndsAnswer) : "";
  ::close(fd);
  return AnswerLines(answer, line);
}

int BenchProcess::Terminate() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
  return WaitForExit();
}

int BenchProcess::WaitForExit() {
  if (pid_ <= 0) throw std::runtime_error("the bench is not running");
  auto deadline = std::chrono::steady_clock::now() + kPatience;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the bench did not end");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return status;
}

void BenchProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}
