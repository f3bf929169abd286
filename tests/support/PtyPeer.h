#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velluma::test {

// The far end of a real pty, standing in for a device in link tests: every frame it receives
// (up to ETX) is answered with the next scripted reply, a few milliseconds later as a device
// would. Replies are raw bytes, so tests can send noise, broken frames and bad checksums.
class PtyPeer {
 public:
  // Stx: frames run from STX to ETX (the monitor). Lines: every CR ends a frame (the PR-655).
  enum class Framing { Stx, Lines };

  explicit PtyPeer(Framing framing = Framing::Stx);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& DevicePath() const { return slavePath_; }

  // Queues the answer to the next frame; std::nullopt leaves that frame unanswered.
  void Reply(std::optional<std::vector<std::uint8_t>> bytes);
  void ReplyPlain(const std::string& body);    // STX body ETX
  void ReplyChecked(const std::string& body);  // STX body CC ETX
  void Silence() { Reply(std::nullopt); }

  // Every byte received so far, and the frames' contents between STX and ETX.
  std::vector<std::uint8_t> Received() const;
  std::vector<std::string> Frames() const;
  std::vector<int> FrameSpeeds() const;  // the line speed as each frame ended

  // The line speed the port's owner has set, as seen from this end.
  int LineSpeed() const;

  // Waits until `count` frames have arrived (at most two seconds).
  bool WaitForFrames(std::size_t count);
  // Waits until `count` replies have been written to the port's owner (at most two seconds).
  bool WaitForReplies(std::size_t count);

 private:
  void Run();
  // One byte from the port's owner, with the line speed set as it arrived.
  void OnByte(std::uint8_t byte, int lineSpeed);
  // Bytes to the port's owner.
  void Send(const std::vector<std::uint8_t>& bytes);

  Framing framing_;
#ifdef _WIN32
  // Under Wine the pty is the relay's (tests/windows/PtyRelay.cpp), which links it as a COM
  // port and passes its bytes over this socket; DevicePath() is that COM port's name.
  std::uintptr_t relay_ = ~std::uintptr_t{0};
  mutable std::mutex sendMutex_;
  mutable std::mutex speedMutex_;
  mutable std::condition_variable speedArrived_;
  mutable int reportedSpeed_ = -1;
  mutable unsigned speedReports_ = 0;
#else
  int master_ = -1;
  int wake_[2] = {-1, -1};
#endif
  std::string slavePath_;
  mutable std::mutex mutex_;
  std::condition_variable frameArrived_;
  std::deque<std::optional<std::vector<std::uint8_t>>> replies_;
  std::vector<std::uint8_t> received_;
  std::vector<std::string> frames_;
  std::vector<int> frameSpeeds_;
  std::size_t repliesSent_ = 0;
  std::string current_;
  std::thread thread_;
};

// STX body CC ETX with CC = (STX + sum of body) mod 256, as the monitor frames a checked reply.
std::vector<std::uint8_t> CheckedReply(const std::string& body);
std::vector<std::uint8_t> Bytes(const std::string& text);

}  // namespace velluma::test
