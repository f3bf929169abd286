#include "bench/instruments/Pr655CommandReader.h"

namespace velluma::bench {

std::vector<Pr655Command> Pr655CommandReader::Feed(std::string_view bytes, TimePoint now) {
  std::vector<Pr655Command> commands;
  for (char byte : bytes) {
    if (byte == '\n') continue;
    if (haveLastByte_ && !current_.text.empty()) {
      auto gap = std::chrono::round<std::chrono::milliseconds>(now - lastByte_);
      current_.gapsMs.push_back(static_cast<long>(gap.count()));
    }
    haveLastByte_ = true;
    lastByte_ = now;
    if (byte == '\r') {
      if (!current_.text.empty() && !overlong_) commands.push_back(std::move(current_));
      current_ = {};
      overlong_ = false;
      continue;
    }
    if (current_.text.size() < kLongestCommand) {
      current_.text.push_back(byte);
    } else {
      overlong_ = true;
    }
  }
  return commands;
}

}  // namespace velluma::bench
