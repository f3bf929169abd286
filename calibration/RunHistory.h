#pragma once

#include <memory>
#include <optional>
#include <string>

#include "history/HistoryDamage.h"
#include "history/HistoryFilter.h"
#include "history/HistoryRecord.h"
#include "history/HistoryStore.h"
#include "history/KeyFigures.h"

namespace velluma {

// The run history as the window and the command line reach it: through the station's layer,
// which records every procedure into it (RunRecorder), as the README's diagram draws it. This
// header brings the history's own types with it: the records and their key figures, the filters,
// the store and the damage a listing may meet.

// Where the history is kept unless the operator says otherwise: $VELLUMA_HISTORY, else
// history.db in the operator's data folder.
std::string DefaultHistoryLocation();

// Why `location` names no history, in words for the operator; nullopt when it names a file or a
// server.
std::optional<std::string> NoHistoryReason(const std::string& location);

// The history at `location`, opened to record runs in it or only to list them. Throws
// history::HistoryError when it cannot be opened.
std::unique_ptr<history::HistoryStore> OpenHistoryStore(const std::string& location,
                                                        history::OpenFor use);

}  // namespace velluma
