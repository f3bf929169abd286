#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "history/SqlConnection.h"

namespace velluma::history {

// The statements that bring a database from one schema version to the next. The schema's
// version is the number of steps applied, kept in the table velluma_schema; a new version of
// the schema is one more step at the end of each engine's list.
struct SchemaStep {
  std::vector<std::string_view> statements;
};

// Each engine's steps: the same tables, written in the engine's own words where they differ.
std::span<const SchemaStep> SqliteSchemaSteps();
std::span<const SchemaStep> PostgresSchemaSteps();

// Brings the database to the newest version of `steps`, under the engine's lock so two stations
// starting at once apply each step once. A database newer than `steps` is a HistoryError naming
// `where`, and nothing is written to it.
void MigrateSchema(SqlConnection& connection, std::span<const SchemaStep> steps,
                   const std::string& where);

// For a history opened only to list it, which changes nothing: whether the database holds the
// history's tables at all (a database no station has recorded in is an empty history). A newer
// schema is refused as by MigrateSchema.
bool HasSchema(SqlConnection& connection, std::span<const SchemaStep> steps,
               const std::string& where);

}  // namespace velluma::history
