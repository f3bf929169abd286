#pragma once

#include <vector>

#include "history/HistoryFilter.h"
#include "history/HistoryRecord.h"
#include "history/SqlConnection.h"

namespace velluma::history {

// The reads and writes of the history, written once for every engine.

// Inserts the run and its figures in one transaction and sets `record.id`.
void AppendRecord(SqlConnection& connection, Record& record);

// The runs `filter` selects with their figures, newest first, read from one state of the
// database.
std::vector<Record> QueryRecords(SqlConnection& connection, const Filter& filter);

}  // namespace velluma::history
