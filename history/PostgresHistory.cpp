#include "history/PostgresHistory.h"

#include "history/HistorySchema.h"
#include "history/HistoryStatements.h"
#include "history/PostgresConnection.h"

namespace velluma::history {

PostgresHistory::PostgresHistory(const std::string& location)
    : connection_(std::make_unique<PostgresConnection>(location)) {
  MigrateSchema(*connection_, PostgresSchemaSteps(), location);
}

PostgresHistory::~PostgresHistory() = default;

void PostgresHistory::Append(Record& record) {
  AppendRecord(*connection_, record);
}

std::vector<Record> PostgresHistory::Query(const Filter& filter) {
  return QueryRecords(*connection_, filter);
}

std::string PostgresHistory::Where() const {
  return connection_->Where();
}

}  // namespace velluma::history
