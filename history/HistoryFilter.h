#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "history/HistoryRecord.h"

namespace velluma::history {

// Which records a query returns; an empty field does not narrow it.
struct Filter {
  std::optional<std::string> sinceUtc =
      std::nullopt;  // runs at or after this time, written as Record::timeUtc
  std::optional<Kind> kind = std::nullopt;
  std::optional<std::string> monitor =
      std::nullopt;       // the monitor's model or its port, matched exactly
  std::size_t limit = 0;  // the newest this many; 0 for all
};

}  // namespace velluma::history
