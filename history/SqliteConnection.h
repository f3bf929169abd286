#pragma once

#include <chrono>
#include <string>

#include "history/HistoryStore.h"
#include "history/SqlConnection.h"

struct sqlite3;

namespace velluma::history {

// A history database in a file, through SQLite. Only a file (or nothing yet) is opened: a folder,
// a device, a pipe or a socket is refused before SQLite can write anything beside it.
// For recording, the file and its folder are made when missing; readers never wait for the writer
// (WAL), a writer waits up to `busyTimeout` for another. For listing, the file must be there and
// nothing is made or changed: a file the user may only read can be listed.
// A damaged page met by a statement is a HistoryDamage.
class SqliteConnection : public SqlConnection {
 public:
  SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout,
                   OpenFor use = OpenFor::Recording);
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
  void Open(const std::string& name, int flags);
  void OpenToRecord();
  void UseWriteAheadLog();
  void OpenToList();
  void OpenImmutable();
  void Close() noexcept;
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void FailWithEngineMessage() const;

  std::string path_;
  std::chrono::milliseconds busyTimeout_;
  sqlite3* db_ = nullptr;
};

}  // namespace velluma::history
