#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bench {

// What a fault does to the reply of a command it applies to.
enum class FaultAction {
  kSilent,  // no reply at all
  kReply,   // another reply text, framed as the command's reply normally is
  kBadSum,  // the normal reply with a wrong checksum
  kNoise,   // noise and a broken start before the normal reply
  kEr0,     // a plain "ER0"
};

// One line of the fault script:
//   <command-prefix> <action> [from N] [times N]
// with the actions silent, reply TEXT, badsum, noise, er0. The prefix "*" matches every
// command. The rule counts the commands that start with its prefix and applies from the N-th
// of them (1-based) for the given number of them (all when "times" is absent). For "reply" the
// text is the rest of the line, less trailing "from N" / "times N" options; it may be empty.
class FaultRule {
 public:
  // Throws std::invalid_argument with the reason when the line is not a rule.
  static FaultRule Parse(std::string_view line);

  // Counts `command` if it matches; true when the rule applies to this command.
  bool CountAndCheck(std::string_view command);

  FaultAction Action() const { return action_; }
  const std::string& ReplyText() const { return reply_text_; }

 private:
  FaultRule() = default;

  std::string prefix_;
  FaultAction action_ = FaultAction::kSilent;
  std::string reply_text_;
  long from_ = 1;
  std::optional<long> times_;
  long matched_ = 0;
};

}  // namespace bench
