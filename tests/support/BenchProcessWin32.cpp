// The bench for a Windows test under Wine: the pty relay (tests/windows/PtyRelay.cpp) starts it on
// the Linux side, links its monitor and PR-655 as COM ports of the prefix and holds it while this
// handle's connection to the relay stays open; the control requests go to the bench's TCP control.
// Its options are the Linux bench's own: a file they name is a Linux path.
#include <chrono>
#include <cstdint>
#include <sstream>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/Loopback.h"

namespace {

using velluma::test::LoopbackSocket;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);
// The relay waits kPatience for the bench's "ready" before it answers.
constexpr auto kRelayPatience = std::chrono::seconds(30);
constexpr int kMonitorReplyMs = 2000;

// Everything that arrives on `socket` until `complete` holds for it, the connection ends or a
// receive waits longer than the socket's patience.
template <typename Complete>
std::string ReceiveUntil(LoopbackSocket socket, Complete complete) {
  std::string text;
  std::uint8_t byte = 0;
  while (!complete(text) && velluma::test::ReceiveAll(socket, &byte, 1))
    text += static_cast<char>(byte);
  return text;
}

}  // namespace

BenchProcess::BenchProcess(std::vector<std::string> extraArgs)
    : relay_(velluma::test::ConnectToPtyRelay()) {
  std::string request = "bench";
  for (const std::string& argument : extraArgs) {
    if (argument.find_first_of("\t\n") != std::string::npos) {
      velluma::test::CloseLoopback(relay_);
      throw std::runtime_error("a bench option with a tab or a line end: " + argument);
    }
    request += "\t" + argument;
  }
  velluma::test::WaitAtMost(relay_, kRelayPatience);
  velluma::test::SendText(relay_, request + "\n");
  const std::string answer = RelayLine();
  std::istringstream fields(answer);
  std::string word;
  fields >> word >> monitorPort_ >> pr655Port_ >> controlAddress_;
  if (word != "ready" || controlAddress_.empty()) {
    velluma::test::CloseLoopback(relay_);
    throw std::runtime_error("velluma-bench did not get ready: " + answer);
  }
}

BenchProcess::~BenchProcess() {
  if (running_) {
    try {
      Request("quit");
      WaitForExit();
    } catch (const std::exception&) {
      // The relay ends the bench when the connection goes.
    }
  }
  velluma::test::CloseLoopback(relay_);
}

std::string BenchProcess::MonitorDevice() const {
  return monitorPort_;
}

std::string BenchProcess::Pr655Device() const {
  return pr655Port_;
}

std::string BenchProcess::MonitorExchange(const std::string& body) {
  velluma::RealClock clock;
  velluma::SerialPort port(clock);
  if (!port.Open(monitorPort_, {}))
    throw std::runtime_error("cannot open " + monitorPort_ + ": " + port.LastError());
  const std::string frame = "\x02" + body + "\x03";
  if (port.Write(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size(),
                 kMonitorReplyMs) != static_cast<long>(frame.size()))
    throw std::runtime_error("cannot write to " + monitorPort_);
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kMonitorReplyMs);
  std::string reply;
  while (reply.empty() || reply.back() != '\x03') {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    std::uint8_t byte = 0;
    if (left.count() <= 0 || port.ReadByte(byte, static_cast<int>(left.count())) !=
                                 velluma::SerialPort::ReadResult::Byte)
      return "";
    reply += static_cast<char>(byte);
  }
  return reply;
}

std::vector<std::string> BenchProcess::Request(const std::string& line) {
  const LoopbackSocket control = velluma::test::ConnectLoopback(controlAddress_, "the bench");
  velluma::test::WaitAtMost(control, kPatience);
  const std::string answer = velluma::test::SendText(control, line + "\n")
                                 ? ReceiveUntil(control, EndsAnswer)
                                 : std::string();
  velluma::test::CloseLoopback(control);
  return AnswerLines(answer, line);
}

int BenchProcess::Terminate() {
  return ExitStatus("terminate");
}

int BenchProcess::WaitForExit() {
  return ExitStatus("wait");
}

std::string BenchProcess::RelayLine() {
  std::string line = ReceiveUntil(
      relay_, [](const std::string& text) { return !text.empty() && text.back() == '\n'; });
  if (line.empty() || line.back() != '\n') throw std::runtime_error("the pty relay did not answer");
  line.pop_back();
  return line;
}

int BenchProcess::ExitStatus(const std::string& command) {
  if (!running_) throw std::runtime_error("the bench is not running");
  velluma::test::SendText(relay_, command + "\n");
  const std::string answer = RelayLine();
  if (answer.rfind("exited ", 0) != 0) throw std::runtime_error("the bench did not end");
  running_ = false;
  return std::stoi(answer.substr(7));
}
