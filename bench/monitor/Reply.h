#pragma once

#include <string>

namespace velluma::bench {

// How the monitor frames a reply body.
enum class ReplyFraming {
  kNone,     // no reply at all (the speed switch)
  kPlain,    // STX body ETX
  kChecked,  // STX body CC ETX
};

// The answer the monitor gives to one command, before any fault is applied.
struct Reply {
  ReplyFraming framing = ReplyFraming::kNone;
  std::string body;
};

}  // namespace velluma::bench
