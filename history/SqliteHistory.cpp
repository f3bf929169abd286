#include "history/SqliteHistory.h"

#include "history/HistorySchema.h"
#include "history/HistoryStatements.h"
#include "history/SqliteConnection.h"

namespace velluma::history {

SqliteHistory::SqliteHistory(const std::string& path, std::chrono::milliseconds busyTimeout)
    : path_(path), connection_(std::make_unique<SqliteConnection>(path, busyTimeout)) {
  MigrateSchema(*connection_, SqliteSchemaSteps(), path_);
}

SqliteHistory::~SqliteHistory() = default;

void SqliteHistory::Append(Record& record) {
  AppendRecord(*connection_, record);
}

std::vector<Record> SqliteHistory::Query(const Filter& filter) {
  return QueryRecords(*connection_, filter);
}

}  // namespace velluma::history
