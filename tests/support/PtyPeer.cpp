#include "tests/support/PtyPeer.h"

#include <chrono>
#include <cstdio>

namespace velluma::test {

namespace {
constexpr auto kReplyDelay = std::chrono::milliseconds(15);
constexpr std::uint8_t kStx = 0x02, kEtx = 0x03;
}  // namespace

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::uint8_t> CheckedReply(const std::string& body) {
  unsigned sum = kStx;
  for (unsigned char c : body) sum += c;
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
  return Bytes("\x02" + body + digits + "\x03");
}

void PtyPeer::Reply(std::optional<std::vector<std::uint8_t>> bytes) {
  std::lock_guard lock(mutex_);
  replies_.push_back(std::move(bytes));
}

void PtyPeer::ReplyPlain(const std::string& body) {
  Reply(Bytes("\x02" + body + "\x03"));
}

void PtyPeer::ReplyChecked(const std::string& body) {
  Reply(CheckedReply(body));
}

std::vector<std::uint8_t> PtyPeer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::string> PtyPeer::Frames() const {
  std::lock_guard lock(mutex_);
  return frames_;
}

std::vector<int> PtyPeer::FrameSpeeds() const {
  std::lock_guard lock(mutex_);
  return frameSpeeds_;
}

bool PtyPeer::WaitForFrames(std::size_t count) {
  std::unique_lock lock(mutex_);
  return frameArrived_.wait_for(lock, std::chrono::seconds(2),
                                [&] { return frames_.size() >= count; });
}

void PtyPeer::OnByte(std::uint8_t byte, int lineSpeed) {
  std::optional<std::vector<std::uint8_t>> reply;
  {
    std::lock_guard lock(mutex_);
    received_.push_back(byte);
    const bool lines = framing_ == Framing::Lines;
    if (!lines && byte == kStx) {
      current_.clear();
      return;
    }
    if (byte != (lines ? '\r' : kEtx)) {
      current_.push_back(static_cast<char>(byte));
      return;
    }
    frames_.push_back(current_);
    frameSpeeds_.push_back(lineSpeed);
    current_.clear();
    if (!replies_.empty()) {
      reply = std::move(replies_.front());
      replies_.pop_front();
    }
  }
  frameArrived_.notify_all();
  if (!reply) return;
  std::this_thread::sleep_for(kReplyDelay);
  Send(*reply);
  {
    std::lock_guard lock(mutex_);
    ++repliesSent_;
  }
  frameArrived_.notify_all();
}

bool PtyPeer::WaitForReplies(std::size_t count) {
  std::unique_lock lock(mutex_);
  return frameArrived_.wait_for(lock, std::chrono::seconds(2),
                                [&] { return repliesSent_ >= count; });
}

}  // namespace velluma::test
