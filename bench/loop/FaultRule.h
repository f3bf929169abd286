#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velluma::bench {

// What a fault does to the reply of a command it applies to.
enum class FaultAction {
  Silent,  // no reply at all
  Reply,   // another reply text, framed as the command's reply normally is
  BadSum,  // the normal reply with a wrong checksum
  Noise,   // noise and a broken start before the normal reply
  Er0,     // a plain "ER0"
  Fail,    // a library call fails (written "fail" or "refuse")
  Code,    // a library call returns the rule's code
};

// The device a rule is meant for, named by the qualifier before its command prefix.
enum class FaultDevice {
  Monitor,  // no qualifier
  Pr655,    // "pr655:"
  Ca,       // "ca:" (the CA server module)
  EyeOne,   // "eyeone:" (the EyeOne library)
};

// One line of the fault script:
//   [device:]<command-prefix> <action> [from N] [times N]
// The device qualifier is one of pr655:, ca:, eyeone:; without one the rule is the monitor's.
// Each device takes its own actions: the monitor silent, reply TEXT, badsum, noise, er0; the
// PR-655 silent, reply TEXT; the CA module and the EyeOne library fail (or refuse), code N (N
// decimal or 0x hexadecimal, taken as a 32-bit result). The prefix "*" matches every command of
// the rule's device. The rule counts the commands that start with its prefix and applies from
// the N-th of them (1-based) for the given number of them (all when "times" is absent). For
// "reply" the text is the rest of the line, less trailing "from N" / "times N" options; it may
// be empty.
class FaultRule {
 public:
  // Throws std::invalid_argument with the reason when the line is not a rule.
  static FaultRule Parse(std::string_view line);

  // Counts a command of `device` if it matches, and says whether the rule applies to it. A
  // command may go by several names (a library call and its short name): it is counted once
  // when any of them matches.
  bool CountAndCheck(FaultDevice device, const std::vector<std::string_view>& names);

  FaultAction Action() const { return action_; }
  const std::string& ReplyText() const { return replyText_; }
  int32_t Code() const { return code_; }

 private:
  FaultRule() = default;
  bool Matches(std::string_view command) const;

  FaultDevice device_ = FaultDevice::Monitor;
  std::string prefix_;
  FaultAction action_ = FaultAction::Silent;
  std::string replyText_;
  int32_t code_ = 0;
  long from_ = 1;
  std::optional<long> times_;
  long matched_ = 0;
};

}  // namespace velluma::bench
