#include "bench/monitor/MemoryNames.h"

#include <stdexcept>

#include "bench/monitor/MonitorState.h"

namespace velluma::bench {

std::string MemoryName(int memory) {
  return "USER" + std::to_string(memory + 1);
}

std::string SelectionName(std::optional<int> memory) {
  return memory ? MemoryName(*memory) : "none";
}

std::optional<int> ParseSelection(std::string_view name) {
  if (name == "none") return std::nullopt;
  for (int memory = 0; memory < MonitorState::kMemories; ++memory) {
    if (name == MemoryName(memory)) return memory;
  }
  throw std::invalid_argument("a memory is USER1, USER2, USER3 or none, not \"" +
                              std::string(name) + "\"");
}

}  // namespace velluma::bench
