#include "history/PostgresHistory.h"

#include "history/HistorySchema.h"
#include "history/HistoryStatements.h"
#include "history/PostgresConnection.h"

namespace velluma::history {

PostgresHistory::PostgresHistory(const std::string& location, OpenFor use)
    : connection_(std::make_unique<PostgresConnection>(location)) {
  if (use == OpenFor::Recording)
    MigrateSchema(*connection_, PostgresSchemaSteps(), location);
  else
    hasSchema_ = HasSchema(*connection_, PostgresSchemaSteps(), location);
}

PostgresHistory::~PostgresHistory() = default;

void PostgresHistory::Append(Record& record) {
  AppendRecord(*connection_, record);
}

std::vector<Record> PostgresHistory::Query(const Filter& filter) {
  if (!hasSchema_) return {};
  return QueryRecords(*connection_, filter);
}

std::string PostgresHistory::Where() const {
  return connection_->Where();
}

}  // namespace velluma::history
