#pragma once

#include <string>

#include "history/SqlConnection.h"

struct pg_conn;

namespace velluma::history {

struct LibpqFunctions;

// A history database on a PostgreSQL server, through libpq, which the first connection loads
// (PostgresLibrary). A connection the server dropped is opened again once before the next
// statement outside a transaction, so a server that comes back is used again.
class PostgresConnection : public SqlConnection {
 public:
  // `location`: a libpq connection string or URI. Throws HistoryError when no connection is made,
  // libpq missing included.
  explicit PostgresConnection(const std::string& location);
  ~PostgresConnection() override;
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  std::vector<SqlRow> Run(std::string_view sql, const std::vector<SqlValue>& values) override;
  using SqlConnection::Run;
  void BeginWrite() override;
  void BeginRead() override;
  void SerializeSchemaChanges() override;
  void Commit() override;
  void Rollback() noexcept override;
  bool HasTable(std::string_view name) override;

 private:
  void ReconnectIfLost();
  [[noreturn]] void FailWithServerMessage() const;

  const LibpqFunctions& pq_;
  std::string location_;  // as given, for the errors, which mask its password
  pg_conn* connection_ = nullptr;
  bool lost_ = false;  // a statement failed with the connection: open it again before the next
};

}  // namespace velluma::history
