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

// What QueryRecords returns, read from a database with damaged pages (which the connection
// reports as HistoryDamage): every run up to `lastId` that can still be read, with its figures when
// they can be read too. Each run is looked for by its id, so a damaged page hides only the runs on
// it.
std::vector<Record> ReadableRecords(SqlConnection& connection, const Filter& filter,
                                    std::int64_t lastId);

}  // namespace velluma::history
