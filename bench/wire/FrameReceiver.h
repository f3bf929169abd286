#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velluma::bench {

// Frames found in a run of received bytes.
struct ReceivedFrames {
  std::vector<std::string> frames;  // the bytes between STX and ETX of each complete frame
  long overlong = 0;                // frames dropped for running past the bound
};

// Cuts the monitor's received byte stream into frames: STX starts (and restarts) a frame, ETX
// ends it. Bytes outside a frame are line noise and are dropped, as is a frame that grows past
// the bound without an ETX; the receiver then waits for the next STX.
class FrameReceiver {
 public:
  static constexpr size_t kDefaultBound = 4096;

  explicit FrameReceiver(size_t bound = kDefaultBound) : bound_(bound) {}

  ReceivedFrames Feed(std::string_view bytes);

 private:
  enum class Phase { BetweenFrames, InFrame };

  size_t bound_;
  Phase phase_ = Phase::BetweenFrames;
  std::string body_;
};

}  // namespace velluma::bench
