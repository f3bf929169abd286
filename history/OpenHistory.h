#pragma once

#include <memory>
#include <optional>
#include <string>

#include "history/HistoryStore.h"

namespace velluma::history {

// The history at `location`: a "postgresql://" or "postgres://" URI names a server, anything
// else a file; opened to record runs in it or only to list them. Throws HistoryError when it
// cannot be opened.
std::unique_ptr<HistoryStore> OpenHistory(const std::string& location,
                                          OpenFor use = OpenFor::Recording);

// Where the history is kept unless the operator says otherwise: $VELLUMA_HISTORY when set, else
// history.db in the operator's data folder (OperatorDataFolder: ~/.local/share/Quillem/Velluma,
// %LOCALAPPDATA%\Quillem\Velluma on Windows).
std::string DefaultHistoryLocation();

// Why `location` names no history, in words for the operator: "" is a station that keeps none
// (a build without the history's libraries), "none" the operator's choice; nullopt when it
// names a file or a server.
std::optional<std::string> NoHistoryReason(const std::string& location);

}  // namespace velluma::history
