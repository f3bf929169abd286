#pragma once

#include <chrono>
#include <string>

#include "history/SqlConnection.h"

struct sqlite3;

namespace velluma::history {

// A history database in a file, through SQLite: the file and its folder are made when missing;
// readers never wait for the writer (WAL), a writer waits up to `busyTimeout` for another.
class SqliteConnection : public SqlConnection {
 public:
  SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout);
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  std::vector<SqlRow> Run(std::string_view sql, const std::vector<SqlValue>& values) override;
  using SqlConnection::Run;
  void BeginWrite() override;
  void BeginRead() override;
  void SerializeSchemaChanges() override {}  // a write transaction already holds the only lock
  void Commit() override;
  void Rollback() noexcept override;
  bool HasTable(std::string_view name) override;

 private:
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void FailWithEngineMessage() const;

  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace velluma::history
