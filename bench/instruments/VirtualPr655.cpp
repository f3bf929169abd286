#include "bench/instruments/VirtualPr655.h"

#include <poll.h>

#include <charconv>

#include "bench/wire/WireFormat.h"

namespace velluma::bench {
namespace {

constexpr size_t kReadChunk = 256;
// Replies nobody reads pile up in the pty; beyond this the oldest bytes are dropped.
constexpr size_t kOutgoingBound = 1 << 16;
constexpr const char* kLineEnd = "\r\n";
// The wake-up answer carries no line end: a reader that ends its line at "REMOTE MODE" then
// finds the next reply as the next line.
constexpr const char* kRemoteModeText = " REMOTE MODE";
constexpr const char* kOk = "0000";
constexpr const char* kIllegalCommand = "-1000";

bool IsSetupCommand(const std::string& command) {
  return command == "SE0" || command == "SK60" || command == "SS3" || command == "SU1";
}

std::string Formatted(double value, std::chars_format format, int precision) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

// "0000,111,Y,x,y": the error code, a field the program does not use, luminance in exponent
// notation, chromaticity with four decimals.
std::string MeasurementLine(const Measurement& light) {
  return std::string(kOk) + ",111," + Formatted(light.Y, std::chars_format::scientific, 4) + "," +
         Formatted(light.x, std::chars_format::fixed, 4) + "," +
         Formatted(light.y, std::chars_format::fixed, 4);
}

std::string GapText(const std::vector<long>& gaps) {
  std::string text;
  for (long gap : gaps) {
    if (!text.empty()) text += ' ';
    text += std::to_string(gap);
  }
  return text;
}

}  // namespace

VirtualPr655::VirtualPr655(std::filesystem::path linkPath, const MonitorState& monitor,
                           DisplayModel& display, FaultScript& faults, DeviceRecord& record,
                           VirtualPr655Options options)
    : port_(std::move(linkPath)),
      monitor_(monitor),
      display_(display),
      faults_(faults),
      record_(record),
      options_(options) {
  SetRemote(false);
  record_.Set("measurements", "0");
}

void VirtualPr655::CollectInterests(TimePoint, std::vector<PollInterest>& interests) {
  short events = POLLIN;
  if (!outgoing_.empty()) events |= POLLOUT;
  interests.push_back({port_.Fd(), events});
}

std::optional<TimePoint> VirtualPr655::NextDeadline(TimePoint) const {
  if (pending_.empty()) return std::nullopt;
  return pending_.front().due;
}

void VirtualPr655::OnEvents(int, short revents, TimePoint now) {
  if (revents & (POLLIN | POLLHUP | POLLERR)) ReadLine(now);
  if (revents & POLLOUT) WriteLine();
}

void VirtualPr655::OnTick(TimePoint now) {
  ReleaseDueReplies(now);
  if (!outgoing_.empty()) WriteLine();
}

void VirtualPr655::ReadLine(TimePoint now) {
  char buffer[kReadChunk];
  ssize_t count = port_.Read(buffer, sizeof buffer);
  if (count <= 0) return;
  for (const Pr655Command& command :
       reader_.Feed(std::string_view(buffer, static_cast<size_t>(count)), now)) {
    Handle(command, now);
  }
}

// Every command is logged; only those the instrument listens to (all in remote mode, PHOTO
// also in local mode) are counted against the fault rules and answered.
void VirtualPr655::Handle(const Pr655Command& command, TimePoint now) {
  record_.AppendLog(wire::Escaped(command.text), GapText(command.gapsMs));
  if (!remote_ && command.text != "PHOTO") return;
  const FaultRule* fault = faults_.Match(FaultDevice::Pr655, {command.text});
  Outcome outcome = Interpret(command.text);
  std::optional<std::string> reply = outcome.reply;
  if (fault) {
    reply.reset();
    if (fault->Action() == FaultAction::Reply) reply = fault->ReplyText() + kLineEnd;
  } else if (outcome.effect) {
    outcome.effect();
  }
  if (reply) pending_.push_back({now + outcome.delay, std::move(*reply)});
}

VirtualPr655::Outcome VirtualPr655::Interpret(const std::string& command) {
  if (command == "PHOTO") {
    std::optional<std::string> answer;
    if (!options_.quietWake) answer = kRemoteModeText;
    return {answer, options_.remoteDelay, [this] { SetRemote(true); }};
  }
  if (IsSetupCommand(command)) return {std::string(kOk) + kLineEnd, options_.replyDelay, {}};
  if (command == "C") return {std::nullopt, {}, {}};
  if (command == "Q") return {std::nullopt, {}, [this] { SetRemote(false); }};
  if (command == "M1") return MeasureOutcome();
  return {std::string(kIllegalCommand) + kLineEnd, options_.replyDelay, {}};
}

// The patch is read as the command arrives; the reply follows after the measuring time.
VirtualPr655::Outcome VirtualPr655::MeasureOutcome() {
  Measurement light = display_.Measure(monitor_);
  std::string line = MeasurementLine(light);
  return {line + kLineEnd, options_.measureTime, [this, line] {
            record_.Count("measurements");
            record_.Set("last", line);
          }};
}

void VirtualPr655::SetRemote(bool remote) {
  remote_ = remote;
  record_.Set("remote", remote ? "on" : "off");
}

void VirtualPr655::ReleaseDueReplies(TimePoint now) {
  while (!pending_.empty() && pending_.front().due <= now) {
    outgoing_ += pending_.front().bytes;
    pending_.pop_front();
  }
  if (outgoing_.size() > kOutgoingBound) outgoing_.erase(0, outgoing_.size() - kOutgoingBound);
}

void VirtualPr655::WriteLine() {
  ssize_t count = port_.Write(outgoing_.data(), outgoing_.size());
  if (count <= 0) return;
  outgoing_.erase(0, static_cast<size_t>(count));
}

}  // namespace velluma::bench
