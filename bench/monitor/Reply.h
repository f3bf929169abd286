#pragma once

#include <string>

namespace velluma::bench {

// How the monitor frames a reply body.
enum class ReplyFraming {
  None,     // no reply at all (the speed switch)
  Plain,    // STX body ETX
  Checked,  // STX body CC ETX
};

// The answer the monitor gives to one command, before any fault is applied.
struct Reply {
  ReplyFraming framing = ReplyFraming::None;
  std::string body;
};

}  // namespace velluma::bench
