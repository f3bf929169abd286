#include "history/SqliteConnection.h"

#include <sqlite3.h>

#include <cctype>
#include <memory>
#include <system_error>

#include "history/HistoryDamage.h"
#include "history/HistoryError.h"
#include "platform/Folders.h"
#include "platform/PathKind.h"

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
  const std::string folder = FolderOf(path);
  if (folder.empty()) return;
  if (const std::error_code error = MakeFolders(folder))
    throw HistoryError(path, "cannot make its folder: " + error.message());
}

// SQLite would open a device or a pipe as an empty database (and wait on a pipe for ever), and
// write its journal beside it.
void RefuseWhatIsNotAFile(const std::string& path) {
  const char* what = nullptr;
  switch (KindOfPath(path)) {
    case PathKind::Folder:
      what = "a folder";
      break;
    case PathKind::Device:
      what = "a device";
      break;
    case PathKind::Pipe:
      what = "a pipe";
      break;
    case PathKind::Socket:
      what = "a socket";
      break;
    default:
      return;
  }
  throw HistoryError(path, std::string(what) + ", not a history file");
}

// SQLite's URI of `path` read as a file nobody changes: every byte a URI could misread escaped.
std::string ImmutableUri(const std::string& path) {
  std::string uri = path.starts_with('/') ? "file://" : "file:";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    }
  }
  return uri + "?immutable=1";
}

bool IsDamage(int code) {
  return (code & 0xFF) == SQLITE_CORRUPT;
}
}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout,
                                   OpenFor use)
    : path_(path), busyTimeout_(busyTimeout) {
  RefuseWhatIsNotAFile(path);
  try {
    if (use == OpenFor::Recording)
      OpenToRecord();
    else
      OpenToList();
  } catch (...) {
    Close();
    throw;
  }
}

SqliteConnection::~SqliteConnection() {
  Close();
}

void SqliteConnection::Open(const std::string& name, int flags) {
  const int opened = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
  if (opened != SQLITE_OK) {
    const std::string what = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
    Close();
    Fail(what);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout_.count()));
}

void SqliteConnection::OpenToRecord() {
  MakeFolderOf(path_);
  Open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  // SQLite opens a file it may only read without a word; the first write would fail later.
  if (sqlite3_db_readonly(db_, "main") == 1) Fail("the file is read-only");
  UseWriteAheadLog();
  Run("PRAGMA foreign_keys = ON");
}

// Switching a file to the write-ahead log needs it alone, and SQLite answers "busy" at once
// instead of waiting; so a station that meets another making the history at the same moment tries
// again, within the busy timeout. The mode stays with the file once set.
void SqliteConnection::UseWriteAheadLog() {
  constexpr int kRetryMilliseconds = 10;
  for (auto waited = std::chrono::milliseconds(0);;
       waited += std::chrono::milliseconds(kRetryMilliseconds)) {
    try {
      Run("PRAGMA journal_mode = WAL");
      return;
    } catch (const HistoryError&) {
      if ((sqlite3_extended_errcode(db_) & 0xff) != SQLITE_BUSY || waited >= busyTimeout_) throw;
    }
    sqlite3_sleep(kRetryMilliseconds);
  }
}

// A reader makes no file beside the history. While no station has the history open there is no
// shared index (-shm) beside it; SQLite would make one, and one left behind by a reader, who may
// not be the history's owner, stops the next station that records. So the file is then read as
// one nobody changes (SQLite's immutable=1). A station that has it open has made the index, which
// a read-only connection shares; where SQLite cannot use it (it would have to make it afresh in a
// folder the user may only read), the file is read as immutable as well.
void SqliteConnection::OpenToList() {
  if (KindOfPath(path_ + "-shm") == PathKind::Missing) return OpenImmutable();
  Open(path_, SQLITE_OPEN_READONLY);
  if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) ==
      SQLITE_OK)
    return;
  const int code = sqlite3_extended_errcode(db_) & 0xFF;
  if (code != SQLITE_READONLY && code != SQLITE_CANTOPEN) FailWithEngineMessage();
  Close();
  OpenImmutable();
}

void SqliteConnection::OpenImmutable() {
  Open(ImmutableUri(path_), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

void SqliteConnection::Close() noexcept {
  sqlite3_close(db_);
  db_ = nullptr;
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
  if (IsDamage(code))
    throw HistoryDamage(path_, std::string("the file is damaged (") + sqlite3_errmsg(db_) + ")");
  Fail(sqlite3_errmsg(db_));
}

}  // namespace velluma::history
