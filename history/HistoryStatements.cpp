#include "history/HistoryStatements.h"

#include <algorithm>
#include <map>
#include <string>

#include "history/HistoryDamage.h"

namespace velluma::history {

namespace {
constexpr std::string_view kInsertRun =
    "INSERT INTO runs (time_utc, host, user_name, kind, monitor_model, monitor_port,"
    " monitor_link, monitor_speed, instrument, instrument_port, outcome, result_code)"
    " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) RETURNING id";

constexpr std::string_view kInsertFigure =
    "INSERT INTO figures (run_id, position, name, value) VALUES ($1, $2, $3, $4)";

// The columns of a run in the order RecordFromRow reads them.
constexpr std::string_view kRunColumns =
    "id, time_utc, host, user_name, kind, monitor_model, monitor_port, monitor_link,"
    " monitor_speed, instrument, instrument_port, outcome, result_code";

// The selection of runs as SQL with numbered parameters, and the values that go with them.
struct Selection {
  std::string where;  // " WHERE …", or empty
  std::string limit;  // " LIMIT $n", or empty
  std::vector<SqlValue> values;
};

Selection Select(const Filter& filter) {
  Selection selection;
  std::vector<std::string> conditions;
  const auto parameter = [&](SqlValue value) {
    selection.values.push_back(std::move(value));
    std::string name = "$";  // appended, not "$" + ...: GCC 12's -Wrestrict misfires on that
    return name.append(std::to_string(selection.values.size()));
  };
  if (filter.sinceUtc) conditions.push_back("time_utc >= " + parameter(*filter.sinceUtc));
  if (filter.kind) conditions.push_back("kind = " + parameter(std::string(KindName(*filter.kind))));
  if (filter.monitor) {
    const std::string monitor = parameter(*filter.monitor);
    conditions.push_back("(monitor_model = " + monitor + " OR monitor_port = " + monitor + ")");
  }
  for (std::size_t i = 0; i < conditions.size(); ++i)
    selection.where += (i == 0 ? " WHERE " : " AND ") + conditions[i];
  if (filter.limit > 0)
    selection.limit = " LIMIT " + parameter(static_cast<std::int64_t>(filter.limit));
  return selection;
}

constexpr std::string_view kNewestFirst = " ORDER BY time_utc DESC, id DESC";

int ToInt(const std::string& text) {
  return text.empty() ? 0 : std::stoi(text);
}

Record RecordFromRow(const SqlRow& row) {
  Record record;
  record.id = std::stoll(row.at(0));
  record.timeUtc = row.at(1);
  record.host = row.at(2);
  record.user = row.at(3);
  ParseKind(row.at(4), record.kind);
  record.monitorModel = row.at(5);
  record.monitorPort = row.at(6);
  record.monitorLink = row.at(7);
  record.monitorSpeed = ToInt(row.at(8));
  record.instrument = row.at(9);
  record.instrumentPort = row.at(10);
  record.outcome = row.at(11);
  record.resultCode = ToInt(row.at(12));
  return record;
}

std::vector<SqlValue> RunValues(const Record& record) {
  return {record.timeUtc,      record.host,
          record.user,         std::string(KindName(record.kind)),
          record.monitorModel, record.monitorPort,
          record.monitorLink,  std::int64_t{record.monitorSpeed},
          record.instrument,   record.instrumentPort,
          record.outcome,      std::int64_t{record.resultCode}};
}

void InsertFigures(SqlConnection& connection, std::int64_t runId, const Record& record) {
  std::int64_t position = 0;
  for (const auto& [name, value] : record.figures)
    connection.Run(kInsertFigure, {runId, position++, name, value});
}

// Hands each figure row (run id, name, value), in order, to its run.
void AttachFigures(const std::vector<SqlRow>& rows, std::vector<Record>& records) {
  std::map<std::int64_t, Record*> byId;
  for (Record& record : records) byId[record.id] = &record;
  for (const SqlRow& row : rows) {
    const auto found = byId.find(std::stoll(row.at(0)));
    if (found != byId.end()) found->second->figures.emplace_back(row.at(1), row.at(2));
  }
}

// ---- Reading around damaged pages ----

// Runs are read in id order this many at a time; a batch that meets a damaged page is read again
// one id at a time.
constexpr std::int64_t kBatch = 64;

std::string RunsFrom() {
  return std::string("SELECT ") + std::string(kRunColumns) +
         " FROM runs WHERE id >= $1 ORDER BY id LIMIT $2";
}

std::string RunById() {
  return std::string("SELECT ") + std::string(kRunColumns) + " FROM runs WHERE id = $1";
}

void ReadRunsOneByOne(SqlConnection& connection, std::int64_t& next, std::int64_t end,
                      std::vector<Record>& runs) {
  for (; next < end; ++next) {
    try {
      for (const SqlRow& row : connection.Run(RunById(), {next}))
        runs.push_back(RecordFromRow(row));
    } catch (const HistoryDamage&) {
      // on a damaged page: the ids after it are looked for all the same
    }
  }
}

std::vector<Record> ReadableRuns(SqlConnection& connection, std::int64_t lastId) {
  std::vector<Record> runs;
  for (std::int64_t next = 0;;) {
    try {
      const std::vector<SqlRow> rows = connection.Run(RunsFrom(), {next, kBatch});
      if (rows.empty()) break;
      for (const SqlRow& row : rows) runs.push_back(RecordFromRow(row));
      next = runs.back().id + 1;
    } catch (const HistoryDamage&) {
      if (next > lastId) break;
      ReadRunsOneByOne(connection, next, next + kBatch, runs);
    }
  }
  return runs;
}

bool Selected(const Record& record, const Filter& filter) {
  return (!filter.sinceUtc || record.timeUtc >= *filter.sinceUtc) &&
         (!filter.kind || record.kind == *filter.kind) &&
         (!filter.monitor || record.monitorModel == *filter.monitor ||
          record.monitorPort == *filter.monitor);
}

void AttachReadableFigures(SqlConnection& connection, Record& record) {
  try {
    for (const SqlRow& row : connection.Run(
             "SELECT name, value FROM figures WHERE run_id = $1 ORDER BY position", {record.id}))
      record.figures.emplace_back(row.at(0), row.at(1));
  } catch (const HistoryDamage&) {
    record.figures.clear();  // on a damaged page: the run is shown without them
  }
}
}  // namespace

void AppendRecord(SqlConnection& connection, Record& record) {
  const std::int64_t id = InTransaction(connection, &SqlConnection::BeginWrite, [&] {
    const std::int64_t runId =
        std::stoll(connection.Run(kInsertRun, RunValues(record)).at(0).at(0));
    InsertFigures(connection, runId, record);
    return runId;
  });
  record.id = id;  // only once the record is there for good
}

std::vector<Record> QueryRecords(SqlConnection& connection, const Filter& filter) {
  const Selection selection = Select(filter);
  const std::string runs = std::string("SELECT ") + std::string(kRunColumns) + " FROM runs" +
                           selection.where + std::string(kNewestFirst) + selection.limit;
  const std::string figures =
      "SELECT run_id, name, value FROM figures WHERE run_id IN (SELECT id FROM (" + runs +
      ") AS selected) ORDER BY run_id, position";
  return InTransaction(connection, &SqlConnection::BeginRead, [&] {
    std::vector<Record> records;
    for (const SqlRow& row : connection.Run(runs, selection.values))
      records.push_back(RecordFromRow(row));
    AttachFigures(connection.Run(figures, selection.values), records);
    return records;
  });
}

std::vector<Record> ReadableRecords(SqlConnection& connection, const Filter& filter,
                                    std::int64_t lastId) {
  std::vector<Record> records = ReadableRuns(connection, lastId);
  std::erase_if(records, [&](const Record& record) { return !Selected(record, filter); });
  std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
    return a.timeUtc != b.timeUtc ? a.timeUtc > b.timeUtc : a.id > b.id;
  });
  if (filter.limit > 0 && records.size() > filter.limit) records.resize(filter.limit);
  for (Record& record : records) AttachReadableFigures(connection, record);
  return records;
}

}  // namespace velluma::history
