#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velluma::bench {

// The monitor's user memories by name: USER1..USER3 are memories 0..2; "none" is no memory
// selected on the monitor's front panel (the picture goes straight to the panel).

// "USER1" for memory 0.
std::string MemoryName(int memory);
// "USER2" for memory 1, "none" when no memory is selected.
std::string SelectionName(std::optional<int> memory);
// The memory "USER1".."USER3" names (0..2), or no memory for "none". Throws
// std::invalid_argument for anything else.
std::optional<int> ParseSelection(std::string_view name);

}  // namespace velluma::bench
