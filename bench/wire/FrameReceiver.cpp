#include "bench/wire/FrameReceiver.h"

#include "bench/wire/WireFormat.h"

namespace velluma::bench {

ReceivedFrames FrameReceiver::Feed(std::string_view bytes) {
  ReceivedFrames received;
  for (char byte : bytes) {
    if (byte == wire::kStx) {
      phase_ = Phase::InFrame;
      body_.clear();
    } else if (phase_ == Phase::BetweenFrames) {
      continue;
    } else if (byte == wire::kEtx) {
      received.frames.push_back(std::move(body_));
      body_.clear();
      phase_ = Phase::BetweenFrames;
    } else if (body_.size() == bound_) {
      ++received.overlong;
      body_.clear();
      phase_ = Phase::BetweenFrames;
    } else {
      body_.push_back(byte);
    }
  }
  return received;
}

}  // namespace velluma::bench
