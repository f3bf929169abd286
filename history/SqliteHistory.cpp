#include "history/SqliteHistory.h"

#include <algorithm>

#include "history/HistoryDamage.h"
#include "history/HistorySchema.h"
#include "history/HistoryStatements.h"
#include "history/ShownLocation.h"
#include "history/SqliteConnection.h"
#include "platform/PathKind.h"

namespace velluma::history {

SqliteHistory::SqliteHistory(const std::string& path, std::chrono::milliseconds busyTimeout,
                             OpenFor use)
    : path_(path) {
  if (use == OpenFor::Listing && KindOfPath(path) == PathKind::Missing) return;
  connection_ = std::make_unique<SqliteConnection>(path, busyTimeout, use);
  if (use == OpenFor::Recording) {
    MigrateSchema(*connection_, SqliteSchemaSteps(), path_);
    hasSchema_ = true;
  } else {
    hasSchema_ = HasSchema(*connection_, SqliteSchemaSteps(), path_);
  }
}

SqliteHistory::~SqliteHistory() = default;

void SqliteHistory::Append(Record& record) {
  if (!connection_) throw HistoryError(path_, "opened only to list the runs");
  AppendRecord(*connection_, record);
}

std::vector<Record> SqliteHistory::Query(const Filter& filter) {
  if (!hasSchema_) return {};
  try {
    return QueryRecords(*connection_, filter);
  } catch (const HistoryDamage&) {
    throw HistoryDamage(path_, "the file is damaged; some runs cannot be read",
                        ReadableRecords(*connection_, filter, LastRunId()));
  }
}

std::string SqliteHistory::Where() const {
  return ShownLocation(path_);
}

// The highest id a run was given, from wherever it can still be read: SQLite's own count of the
// ids it gave, and the table's last row.
std::int64_t SqliteHistory::LastRunId() {
  std::int64_t last = 0;
  for (const char* statement :
       {"SELECT seq FROM sqlite_sequence WHERE name = 'runs'", "SELECT max(id) FROM runs"}) {
    try {
      for (const SqlRow& row : connection_->Run(statement))
        if (!row.at(0).empty()) last = std::max<std::int64_t>(last, std::stoll(row.at(0)));
    } catch (const HistoryDamage&) {
    }
  }
  return last;
}

}  // namespace velluma::history
