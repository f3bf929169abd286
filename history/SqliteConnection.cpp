#include "history/SqliteConnection.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "history/HistoryError.h"
#include "platform/Utf8Path.h"

namespace velluma::history {

namespace {
struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, sqlite3_column_bytes(statement, column)) : std::string();
}

SqlRow CurrentRow(sqlite3_stmt* statement) {
  SqlRow row;
  const int columns = sqlite3_column_count(statement);
  for (int column = 0; column < columns; ++column) row.push_back(ColumnText(statement, column));
  return row;
}

void MakeFolderOf(const std::string& path) {
  const std::filesystem::path folder = PathFromUtf8(path).parent_path();
  if (folder.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw HistoryError(path, "cannot make its folder: " + error.message());
}
}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout)
    : path_(path) {
  MakeFolderOf(path);
  const int opened =
      sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (opened != SQLITE_OK) {
    const std::string what = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
    sqlite3_close(db_);
    db_ = nullptr;
    Fail(what);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout.count()));
  try {
    // SQLite opens a file it may only read without a word; the first write would fail later.
    if (sqlite3_db_readonly(db_, "main") == 1) Fail("the file is read-only");
    Run("PRAGMA journal_mode = WAL");
    Run("PRAGMA foreign_keys = ON");
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

SqliteConnection::~SqliteConnection() {
  sqlite3_close(db_);
}

std::vector<SqlRow> SqliteConnection::Run(std::string_view sql,
                                          const std::vector<SqlValue>& values) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK)
    FailWithEngineMessage();
  const Statement statement(raw);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string name = "$";  // appended, not "$" + ...: GCC 12's -Wrestrict misfires on that
    name.append(std::to_string(i + 1));
    const int index = sqlite3_bind_parameter_index(raw, name.c_str());
    if (index == 0) continue;  // a value the statement does not use
    const int bound =
        std::holds_alternative<std::int64_t>(values[i])
            ? sqlite3_bind_int64(raw, index, std::get<std::int64_t>(values[i]))
            : sqlite3_bind_text(raw, index, std::get<std::string>(values[i]).data(),
                                static_cast<int>(std::get<std::string>(values[i]).size()),
                                SQLITE_TRANSIENT);
    if (bound != SQLITE_OK) FailWithEngineMessage();
  }
  std::vector<SqlRow> rows;
  for (;;) {
    const int stepped = sqlite3_step(raw);
    if (stepped == SQLITE_DONE) return rows;
    if (stepped != SQLITE_ROW) FailWithEngineMessage();
    rows.push_back(CurrentRow(raw));
  }
}

// IMMEDIATE takes the write lock at the start, where the busy timeout applies; a deferred
// transaction that reads and then writes could only give up.
void SqliteConnection::BeginWrite() {
  Run("BEGIN IMMEDIATE");
}

void SqliteConnection::BeginRead() {
  Run("BEGIN");
}

void SqliteConnection::Commit() {
  Run("COMMIT");
}

void SqliteConnection::Rollback() noexcept {
  if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteConnection::HasTable(std::string_view name) {
  return !Run("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = $1", {std::string(name)})
              .empty();
}

void SqliteConnection::Fail(const std::string& what) const {
  throw HistoryError(path_, what);
}

// SQLite says "disk I/O error" for a write the file system refused, a full disk among the
// causes; the operator is told what he can act on.
void SqliteConnection::FailWithEngineMessage() const {
  const int code = sqlite3_extended_errcode(db_);
  if (code == SQLITE_FULL || code == SQLITE_IOERR_WRITE || code == SQLITE_IOERR_FSYNC)
    Fail("the disk refused the write (full, or failing)");
  Fail(sqlite3_errmsg(db_));
}

}  // namespace velluma::history
