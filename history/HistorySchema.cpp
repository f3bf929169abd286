#include "history/HistorySchema.h"

#include <array>
#include <string>

#include "history/HistoryError.h"

namespace velluma::history {

// Version 1: one row per run, its figures in rows of their own in the run's order. A figure's
// name is short so a report's line stays readable; a longer one fails the whole record rather
// than being cut. Time is kept as its ISO 8601 text, which sorts as time does.
namespace {
const std::array<SchemaStep, 1> kSqliteSteps{{
    {{
        "CREATE TABLE runs ("
        " id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " time_utc TEXT NOT NULL, host TEXT NOT NULL, user_name TEXT NOT NULL, kind TEXT NOT NULL,"
        " monitor_model TEXT NOT NULL, monitor_port TEXT NOT NULL, monitor_link TEXT NOT NULL,"
        " monitor_speed INTEGER NOT NULL, instrument TEXT NOT NULL, instrument_port TEXT NOT NULL,"
        " outcome TEXT NOT NULL, result_code INTEGER NOT NULL)",
        "CREATE INDEX runs_by_time ON runs (time_utc)",
        "CREATE TABLE figures ("
        " run_id INTEGER NOT NULL REFERENCES runs (id), position INTEGER NOT NULL,"
        " name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 64), value TEXT NOT NULL,"
        " PRIMARY KEY (run_id, position))",
    }},
}};

const std::array<SchemaStep, 1> kPostgresSteps{{
    {{
        "CREATE TABLE runs ("
        " id BIGSERIAL PRIMARY KEY,"
        " time_utc TEXT NOT NULL, host TEXT NOT NULL, user_name TEXT NOT NULL, kind TEXT NOT NULL,"
        " monitor_model TEXT NOT NULL, monitor_port TEXT NOT NULL, monitor_link TEXT NOT NULL,"
        " monitor_speed INTEGER NOT NULL, instrument TEXT NOT NULL, instrument_port TEXT NOT NULL,"
        " outcome TEXT NOT NULL, result_code INTEGER NOT NULL)",
        "CREATE INDEX runs_by_time ON runs (time_utc)",
        "CREATE TABLE figures ("
        " run_id BIGINT NOT NULL REFERENCES runs (id), position INTEGER NOT NULL,"
        " name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 64), value TEXT NOT NULL,"
        " PRIMARY KEY (run_id, position))",
    }},
}};

constexpr std::string_view kVersionTable = "velluma_schema";

int StoredVersion(SqlConnection& connection) {
  if (!connection.HasTable(kVersionTable)) return 0;
  const std::vector<SqlRow> rows = connection.Run("SELECT version FROM velluma_schema");
  return rows.empty() ? 0 : std::stoi(rows.front().at(0));
}

void RefuseNewer(int stored, int known, const std::string& where) {
  if (stored <= known) return;
  throw HistoryError(where, "schema version " + std::to_string(stored) +
                                " is newer than this Velluma's " + std::to_string(known));
}

void RecordVersion(SqlConnection& connection, int from, int to) {
  if (from == 0) {
    connection.Run("CREATE TABLE velluma_schema (version INTEGER NOT NULL)");
    connection.Run("INSERT INTO velluma_schema (version) VALUES ($1)", {std::int64_t{to}});
  } else {
    connection.Run("UPDATE velluma_schema SET version = $1", {std::int64_t{to}});
  }
}
}  // namespace

std::span<const SchemaStep> SqliteSchemaSteps() {
  return kSqliteSteps;
}
std::span<const SchemaStep> PostgresSchemaSteps() {
  return kPostgresSteps;
}

void MigrateSchema(SqlConnection& connection, std::span<const SchemaStep> steps,
                   const std::string& where) {
  const int newest = static_cast<int>(steps.size());
  // Most openings find the schema current: they read it without taking any lock.
  const int seen = StoredVersion(connection);
  RefuseNewer(seen, newest, where);
  if (seen == newest) return;

  InTransaction(connection, &SqlConnection::BeginWrite, [&] {
    connection.SerializeSchemaChanges();
    const int stored = StoredVersion(connection);  // another station may have migrated meanwhile
    RefuseNewer(stored, newest, where);
    for (int version = stored; version < newest; ++version)
      for (std::string_view statement : steps[version].statements) connection.Run(statement);
    if (stored != newest) RecordVersion(connection, stored, newest);
  });
}

bool HasSchema(SqlConnection& connection, std::span<const SchemaStep> steps,
               const std::string& where) {
  const int stored = StoredVersion(connection);
  RefuseNewer(stored, static_cast<int>(steps.size()), where);
  return stored > 0;
}

}  // namespace velluma::history
