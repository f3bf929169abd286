#pragma once

#include <functional>
#include <string_view>

#include "bench/monitor/MonitorState.h"
#include "bench/monitor/Reply.h"

namespace velluma::bench {

// What one command does: the reply it earns and the change it makes to the monitor's state.
// The change is kept apart so that a faulted command can be answered without being stored.
struct CommandOutcome {
  Reply reply;
  std::function<void(MonitorState&)> store;  // empty when the command stores nothing
};

// The monitor's command set: reads one command text (the frame's bytes without STX, id byte
// and ETX) and decides the reply and the change. Lengths and fields are checked exactly; a
// command that does not fit is refused with a plain "ER0" and stores nothing.
class MonitorCommands {
 public:
  CommandOutcome Interpret(std::string_view text, const MonitorState& state) const;

 private:
  static CommandOutcome ShowPattern(std::string_view text);
  static CommandOutcome SetZbl(std::string_view text);
  static CommandOutcome SwitchSpeed(std::string_view text);
  static CommandOutcome Checked(std::string_view text);
  static CommandOutcome WritePrimaries(std::string_view data);
  static CommandOutcome WriteGreyRamp(std::string_view command);
  static CommandOutcome WriteFilmGamma(std::string_view command);
  static CommandOutcome WriteLut(std::string_view command);
};

}  // namespace velluma::bench
