#include "history/PostgresConnection.h"

#include <memory>

#include "history/HistoryError.h"
#include "history/PostgresLibrary.h"

namespace velluma::history {

namespace {
struct ResultDeleter {
  decltype(&::PQclear) clear;
  void operator()(PGresult* result) const { clear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// libpq's messages run over several lines ("server closed the connection unexpectedly\n\tThis
// probably means…"); the history's errors are one line, the first.
std::string FirstLine(const char* message) {
  std::string text = message ? message : "";
  const std::size_t end = text.find('\n');
  if (end != std::string::npos) text.resize(end);
  return text.empty() ? "the server gave no reason" : text;
}

std::string ValueText(const SqlValue& value) {
  return std::holds_alternative<std::int64_t>(value) ? std::to_string(std::get<std::int64_t>(value))
                                                     : std::get<std::string>(value);
}

std::vector<SqlRow> RowsOf(const LibpqFunctions& pq, PGresult* result) {
  std::vector<SqlRow> rows(pq.PQntuples(result));
  const int columns = pq.PQnfields(result);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    for (int column = 0; column < columns; ++column)
      rows[row].emplace_back(pq.PQgetvalue(result, row, column),
                             pq.PQgetlength(result, row, column));
  return rows;
}

// Whether a failed statement took the connection with it. libpq may still call a connection
// whose server has gone "OK"; what it cannot have is the SQLSTATE the server gives every refusal,
// unless the server said it was shutting down (57P) or the connection failed (08).
bool LostWith(const LibpqFunctions& pq, PGresult* result) {
  const char* state = result ? pq.PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  if (!state) return true;
  const std::string_view code(state);
  return code.starts_with("08") || code.starts_with("57P");
}

// The server's notices ("terminating connection due to …") are not the operator's business:
// what matters reaches the caller as a HistoryError.
void IgnoreNotice(void*, const char*) {}

// Any number of the program's stations serialize their schema changes on this one key.
constexpr std::int64_t kSchemaLockKey = 0x56656c6c756d61;  // "Velluma" in ASCII
}  // namespace

PostgresConnection::PostgresConnection(const std::string& location)
    : pq_(Libpq(location)), location_(location), connection_(pq_.PQconnectdb(location.c_str())) {
  if (!connection_) throw HistoryError(location_, "out of memory");
  if (pq_.PQstatus(connection_) != CONNECTION_OK) {
    const std::string what = FirstLine(pq_.PQerrorMessage(connection_));
    pq_.PQfinish(connection_);
    throw HistoryError(location_, what);
  }
  pq_.PQsetNoticeProcessor(connection_, IgnoreNotice, nullptr);
}

PostgresConnection::~PostgresConnection() {
  pq_.PQfinish(connection_);
}

std::vector<SqlRow> PostgresConnection::Run(std::string_view sql,
                                            const std::vector<SqlValue>& values) {
  std::vector<std::string> texts;
  for (const SqlValue& value : values) texts.push_back(ValueText(value));
  std::vector<const char*> pointers;
  for (const std::string& text : texts) pointers.push_back(text.c_str());
  const std::string statement(sql);
  const Result result(
      pq_.PQexecParams(connection_, statement.c_str(), static_cast<int>(texts.size()), nullptr,
                       pointers.data(), nullptr, nullptr, 0),
      ResultDeleter{pq_.PQclear});
  const ExecStatusType status = result ? pq_.PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return RowsOf(pq_, result.get());
  if (LostWith(pq_, result.get())) lost_ = true;
  // The server's own words for what it refused ("new row … violates check constraint …"),
  // libpq's for what went wrong on the way ("server closed the connection unexpectedly").
  const char* refusal =
      result ? pq_.PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  if (refusal) throw HistoryError(location_, refusal);
  FailWithServerMessage();
}

// Every transaction starts here, so this is where a dropped connection is opened again: never
// inside a transaction, whose earlier statements the new connection would not have.
void PostgresConnection::ReconnectIfLost() {
  if (!lost_ && pq_.PQstatus(connection_) == CONNECTION_OK) return;
  pq_.PQreset(connection_);
  if (pq_.PQstatus(connection_) != CONNECTION_OK) FailWithServerMessage();
  lost_ = false;
}

void PostgresConnection::BeginWrite() {
  ReconnectIfLost();
  Run("BEGIN");
}

void PostgresConnection::BeginRead() {
  ReconnectIfLost();
  Run("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

void PostgresConnection::SerializeSchemaChanges() {
  Run("SELECT pg_advisory_xact_lock($1)", {kSchemaLockKey});
}

void PostgresConnection::Commit() {
  Run("COMMIT");
}

void PostgresConnection::Rollback() noexcept {
  if (lost_ || pq_.PQstatus(connection_) != CONNECTION_OK) return;
  pq_.PQclear(pq_.PQexec(connection_, "ROLLBACK"));
}

bool PostgresConnection::HasTable(std::string_view name) {
  ReconnectIfLost();
  return !Run("SELECT 1 FROM information_schema.tables"
              " WHERE table_schema = current_schema() AND table_name = $1",
              {std::string(name)})
              .empty();
}

void PostgresConnection::FailWithServerMessage() const {
  throw HistoryError(location_, FirstLine(pq_.PQerrorMessage(connection_)));
}

}  // namespace velluma::history
