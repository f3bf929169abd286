#include "bench/wire/LinePacer.h"

#include <algorithm>

namespace velluma::bench {

Clock::duration LinePacer::ByteTime(int bitsPerSecond) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(10)) / bitsPerSecond;
}

Clock::duration LinePacer::Slack(int bitsPerSecond) {
  return std::max<Clock::duration>(std::chrono::milliseconds(2), ByteTime(bitsPerSecond));
}

size_t LinePacer::Allowance(TimePoint now, int bitsPerSecond) const {
  if (bitsPerSecond <= 0) return SIZE_MAX;
  if (now < nextFree_) return 0;
  TimePoint start = std::max(nextFree_, now - Slack(bitsPerSecond));
  return 1 + static_cast<size_t>((now - start) / ByteTime(bitsPerSecond));
}

void LinePacer::Consume(size_t bytes, TimePoint now, int bitsPerSecond) {
  if (bitsPerSecond <= 0) return;
  TimePoint start = std::max(nextFree_, now - Slack(bitsPerSecond));
  nextFree_ = start + ByteTime(bitsPerSecond) * static_cast<long>(bytes);
}

}  // namespace velluma::bench
