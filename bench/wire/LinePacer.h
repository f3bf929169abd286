#pragma once

#include <cstddef>

#include "bench/loop/LoopClient.h"

namespace velluma::bench {

// Spaces the bytes of one direction of a serial line at ten bit times a byte (start bit, eight
// data bits, stop bit), so that a transfer takes as long as on a cable. It keeps a schedule
// rather than sleeping: the loop asks how many bytes may go now and when the next may.
class LinePacer {
 public:
  // Bytes that may pass at `now` at `bitsPerSecond`; 0 means wait until NextTime().
  size_t Allowance(TimePoint now, int bitsPerSecond) const;
  // Books `bytes` on the line from `now` on.
  void Consume(size_t bytes, TimePoint now, int bitsPerSecond);
  // When the line is free again.
  TimePoint NextTime() const { return nextFree_; }

 private:
  static Clock::duration ByteTime(int bitsPerSecond);
  // How far behind schedule the pacer may catch up. Late wake-ups of the loop (poll() counts
  // in milliseconds) are made good within this slack; an idle line earns no more credit.
  static Clock::duration Slack(int bitsPerSecond);

  TimePoint nextFree_{};
};

}  // namespace velluma::bench
