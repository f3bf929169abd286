#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bench/loop/LoopClient.h"

namespace velluma::bench {

// One command as the PR-655 received it: its text without the closing CR, and the time in
// milliseconds between each byte and the one before it (the CR included).
struct Pr655Command {
  std::string text;
  std::vector<long> gapsMs;
};

// Gathers the bytes of the PR-655's line into commands, each ended by a CR. Line feeds are
// skipped, an empty command (a CR alone) is dropped, and a command growing past a sane length
// is cut off and dropped whole at its CR.
class Pr655CommandReader {
 public:
  static constexpr size_t kLongestCommand = 256;

  // Takes bytes that arrived at `now`; returns the commands they completed.
  std::vector<Pr655Command> Feed(std::string_view bytes, TimePoint now);

 private:
  Pr655Command current_;
  bool overlong_ = false;
  bool haveLastByte_ = false;
  TimePoint lastByte_{};
};

}  // namespace velluma::bench
