#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/RunHistory.h"

namespace velluma::cli {

// A --since value in the history's own form of a time: "2026-11-30" is midnight UTC of that
// day, "2026-11-30T08:15:00Z" that second; none for anything else.
std::optional<std::string> SinceTime(std::string_view text);

// The runs as a table for a person: time, kind, monitor, instrument, result and the figures
// that tell the most of each kind, newest first as given; one line per run, whatever a name holds.
std::string HistoryTable(const std::vector<history::Record>& records);

// One run as one line of valid JSON, with every field and figure (a byte that is not UTF-8 as
// U+FFFD).
std::string HistoryJsonLine(const history::Record& record);

// velluma-cli history: the runs `filter` selects from the history at `location`, printed on
// `out`, which is only read (a history that is not there is an empty one); 0, 1 with the runs
// that could still be read and a line on `err` when the file is damaged, or 2 with the history's
// line on `err` when it cannot be read.
int ListHistory(const std::string& location, const history::Filter& filter, bool json,
                std::ostream& out, std::ostream& err);

}  // namespace velluma::cli
