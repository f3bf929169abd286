#include "bench/monitor/VirtualMonitor.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "bench/wire/WireFormat.h"

namespace velluma::bench {
namespace {

constexpr size_t kReadChunk = 4096;
// Replies nobody reads pile up in the pty; beyond this the oldest bytes are dropped.
constexpr size_t kOutgoingBound = 1 << 20;
// A broken start before the reply: noise, an STX, more noise.
constexpr std::string_view kNoise = "\x41\x02\x41";

std::string NormalReplyBytes(const Reply& reply) {
  switch (reply.framing) {
    case ReplyFraming::Plain:
      return wire::PlainFrame(reply.body);
    case ReplyFraming::Checked:
      return wire::CheckedFrame(reply.body);
    case ReplyFraming::None:
      break;
  }
  return {};
}

std::string FaultedReplyBytes(const Reply& reply, const FaultRule& fault) {
  switch (fault.Action()) {
    case FaultAction::Silent:
      return {};
    case FaultAction::Reply:
      return reply.framing == ReplyFraming::Checked ? wire::CheckedFrame(fault.ReplyText())
                                                    : wire::PlainFrame(fault.ReplyText());
    case FaultAction::BadSum:
      return reply.framing == ReplyFraming::None ? std::string() : wire::WrongSumFrame(reply.body);
    case FaultAction::Noise:
      return std::string(kNoise) + NormalReplyBytes(reply);
    case FaultAction::Er0:
      return wire::PlainFrame("ER0");
    case FaultAction::Fail:
    case FaultAction::Code:
      break;  // library actions; a monitor rule cannot carry them
  }
  return {};
}

bool IsPrintable(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F;
}

}  // namespace

VirtualMonitor::VirtualMonitor(std::filesystem::path linkPath, MonitorState& state,
                               FaultScript& faults, VirtualMonitorOptions options)
    : port_(std::move(linkPath)), state_(state), faults_(faults), options_(options) {}

// Without --line-rate the pacers are handed speed 0, which lets everything through.
int VirtualMonitor::Speed() const {
  return options_.lineRate ? port_.LineSpeed() : 0;
}

void VirtualMonitor::CollectInterests(TimePoint now, std::vector<PollInterest>& interests) {
  short events = 0;
  if (receivePacer_.Allowance(now, Speed()) > 0) events |= POLLIN;
  if (!outgoing_.empty() && sendPacer_.Allowance(now, Speed()) > 0) events |= POLLOUT;
  interests.push_back({port_.Fd(), events});
}

std::optional<TimePoint> VirtualMonitor::NextDeadline(TimePoint now) const {
  std::optional<TimePoint> deadline;
  auto consider = [&deadline](TimePoint t) {
    if (!deadline || t < *deadline) deadline = t;
  };
  if (!pending_.empty()) consider(pending_.front().due);
  if (receivePacer_.NextTime() > now) consider(receivePacer_.NextTime());
  if (!outgoing_.empty() && sendPacer_.NextTime() > now) consider(sendPacer_.NextTime());
  return deadline;
}

void VirtualMonitor::OnEvents(int, short revents, TimePoint now) {
  if (revents & (POLLIN | POLLHUP | POLLERR)) ReadLine(now);
  if (revents & POLLOUT) WriteLine(now);
}

void VirtualMonitor::OnTick(TimePoint now) {
  ReleaseDueReplies(now);
  if (!outgoing_.empty()) WriteLine(now);
}

void VirtualMonitor::ReadLine(TimePoint now) {
  char buffer[kReadChunk];
  size_t allowance = std::min(sizeof buffer, receivePacer_.Allowance(now, Speed()));
  if (allowance == 0) return;
  ssize_t count = port_.Read(buffer, allowance);
  if (count <= 0) return;
  receivePacer_.Consume(static_cast<size_t>(count), now, Speed());
  ReceivedFrames received = receiver_.Feed(std::string_view(buffer, static_cast<size_t>(count)));
  state_.Counts().overlong += received.overlong;
  for (const std::string& frame : received.frames) HandleFrame(frame, now);
}

void VirtualMonitor::HandleFrame(std::string_view frame, TimePoint now) {
  std::optional<std::string_view> command = CommandText(frame);
  // A frame sent at another speed reaches a real monitor as garbage: no reply. A speed command
  // is let through: it has no reply, so the program may switch its port right after sending it,
  // before the bench has read the frame, and the speed it went out at cannot be told here.
  const bool speedCommand = command && command->substr(0, 5) == "speed";
  if (!speedCommand && port_.LineSpeed() != state_.ExpectedSpeed()) {
    ++state_.Counts().refused;
    return;
  }
  if (!command) {
    ++state_.Counts().foreign;
    return;
  }
  Answer(*command, now);
}

std::optional<std::string_view> VirtualMonitor::CommandText(std::string_view frame) const {
  if (options_.address) {
    if (frame.empty() || static_cast<uint8_t>(frame[0]) != *options_.address) return std::nullopt;
    return frame.substr(1);
  }
  if (!frame.empty() && !IsPrintable(frame[0])) return frame.substr(1);
  return frame;
}

// A faulted command is not stored, except under noise, which only disturbs the line.
void VirtualMonitor::Answer(std::string_view command, TimePoint now) {
  ++state_.Counts().frames;
  state_.AppendLog(command);
  CommandOutcome outcome = commands_.Interpret(command, state_);
  const FaultRule* fault = faults_.Match(command);
  bool stores = fault == nullptr || fault->Action() == FaultAction::Noise;
  if (stores && outcome.store) outcome.store(state_);
  std::string bytes =
      fault ? FaultedReplyBytes(outcome.reply, *fault) : NormalReplyBytes(outcome.reply);
  if (!bytes.empty()) pending_.push_back({now + options_.replyDelay, std::move(bytes)});
}

void VirtualMonitor::ReleaseDueReplies(TimePoint now) {
  while (!pending_.empty() && pending_.front().due <= now) {
    outgoing_ += pending_.front().bytes;
    pending_.pop_front();
  }
  if (outgoing_.size() > kOutgoingBound) outgoing_.erase(0, outgoing_.size() - kOutgoingBound);
}

void VirtualMonitor::WriteLine(TimePoint now) {
  size_t allowance = std::min(outgoing_.size(), sendPacer_.Allowance(now, Speed()));
  if (allowance == 0) return;
  ssize_t count = port_.Write(outgoing_.data(), allowance);
  if (count <= 0) return;
  sendPacer_.Consume(static_cast<size_t>(count), now, Speed());
  outgoing_.erase(0, static_cast<size_t>(count));
}

}  // namespace velluma::bench
