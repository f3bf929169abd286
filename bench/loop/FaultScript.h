#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bench/loop/FaultRule.h"

namespace velluma::bench {

// The fault rules in force, in the order they were added.
class FaultScript {
 public:
  // Adds one rule line; blank lines and lines starting with '#' are ignored. Throws
  // std::invalid_argument for a line that is not a rule.
  void AddLine(std::string_view line);
  // Adds every line of a rules file. Throws std::invalid_argument naming the file and line.
  void LoadFile(const std::string& path);
  void Clear() { rules_.clear(); }

  // Counts the monitor's `command` against every rule; returns the first rule that applies, or
  // nullptr. The pointer is valid until the script is next changed.
  const FaultRule* Match(std::string_view command);
  // The same for a command of `device` known by any of `names` (see FaultRule).
  const FaultRule* Match(FaultDevice device, const std::vector<std::string_view>& names);

 private:
  std::vector<FaultRule> rules_;
};

}  // namespace velluma::bench
