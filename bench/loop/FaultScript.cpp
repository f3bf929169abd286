#include "bench/loop/FaultScript.h"

#include <fstream>
#include <stdexcept>

namespace velluma::bench {

void FaultScript::AddLine(std::string_view line) {
  size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos || line[first] == '#') return;
  size_t last = line.find_last_not_of(" \t\r");
  rules_.push_back(FaultRule::Parse(line.substr(first, last + 1 - first)));
}

void FaultScript::LoadFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::invalid_argument("cannot read fault file " + path);
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    try {
      AddLine(line);
    } catch (const std::invalid_argument& error) {
      throw std::invalid_argument(path + ":" + std::to_string(number) + ": " + error.what());
    }
  }
}

const FaultRule* FaultScript::Match(std::string_view command) {
  return Match(FaultDevice::Monitor, {command});
}

// Every matching rule counts the command, also those after the one that applies.
const FaultRule* FaultScript::Match(FaultDevice device,
                                    const std::vector<std::string_view>& names) {
  const FaultRule* chosen = nullptr;
  for (FaultRule& rule : rules_) {
    if (rule.CountAndCheck(device, names) && chosen == nullptr) chosen = &rule;
  }
  return chosen;
}

}  // namespace velluma::bench
