#include "history/SqlHistory.h"

#include <algorithm>

#include "history/HistoryDamage.h"
#include "history/HistoryStatements.h"
#include "history/PostgresConnection.h"
#include "history/ShownLocation.h"
#include "history/SqliteConnection.h"
#include "platform/PathKind.h"

namespace velluma::history {

namespace {
SqlDialect Sqlite() {
  return {SqliteSchemaSteps(), "SELECT seq FROM sqlite_sequence WHERE name = 'runs'"};
}

SqlDialect Postgres() {
  return {PostgresSchemaSteps(), {}};
}
}  // namespace

std::unique_ptr<SqlHistory> SqlHistory::InFile(const std::string& path,
                                               std::chrono::milliseconds busyTimeout, OpenFor use) {
  std::unique_ptr<SqlConnection> connection;
  if (use == OpenFor::Recording || KindOfPath(path) != PathKind::Missing)
    connection = std::make_unique<SqliteConnection>(path, busyTimeout, use);
  return std::make_unique<SqlHistory>(path, std::move(connection), Sqlite(), use);
}

std::unique_ptr<SqlHistory> SqlHistory::OnServer(const std::string& location, OpenFor use) {
  return std::make_unique<SqlHistory>(location, std::make_unique<PostgresConnection>(location),
                                      Postgres(), use);
}

SqlHistory::SqlHistory(std::string location, std::unique_ptr<SqlConnection> connection,
                       const SqlDialect& dialect, OpenFor use)
    : location_(std::move(location)), connection_(std::move(connection)), dialect_(dialect) {
  if (!connection_) return;
  if (use == OpenFor::Recording) {
    MigrateSchema(*connection_, dialect_.schemaSteps, location_);
    hasSchema_ = true;
  } else {
    hasSchema_ = HasSchema(*connection_, dialect_.schemaSteps, location_);
  }
}

SqlHistory::~SqlHistory() = default;

void SqlHistory::Append(Record& record) {
  if (!connection_) throw HistoryError(location_, "opened only to list the runs");
  AppendRecord(*connection_, record);
}

std::vector<Record> SqlHistory::Query(const Filter& filter) {
  if (!hasSchema_) return {};
  try {
    return QueryRecords(*connection_, filter);
  } catch (const HistoryDamage&) {
    throw HistoryDamage(location_, "the file is damaged; some runs cannot be read",
                        ReadableRecords(*connection_, filter, LastRunId()));
  }
}

std::string SqlHistory::Where() const {
  return ShownLocation(location_);
}

// The highest id a run was given, from wherever it can still be read: the engine's own count of
// the ids it gave, and the table's last row.
std::int64_t SqlHistory::LastRunId() {
  std::int64_t last = 0;
  for (const std::string_view statement :
       {dialect_.lastIdGiven, std::string_view("SELECT max(id) FROM runs")}) {
    if (statement.empty()) continue;
    try {
      for (const SqlRow& row : connection_->Run(statement))
        if (!row.at(0).empty()) last = std::max<std::int64_t>(last, std::stoll(row.at(0)));
    } catch (const HistoryDamage&) {
    }
  }
  return last;
}

}  // namespace velluma::history
