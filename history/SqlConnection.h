#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace velluma::history {

// A value bound to a statement's parameter: whole numbers as numbers, all else as text.
using SqlValue = std::variant<std::int64_t, std::string>;

// A result row, every column as text (an SQL NULL as "").
using SqlRow = std::vector<std::string>;

// One open connection to a history database, the little the shared statements need of an
// engine. Statements number their parameters $1, $2, … as both engines read them; values are
// only ever bound, never written into the text. Every failure is a HistoryError.
class SqlConnection {
 public:
  virtual ~SqlConnection() = default;

  virtual std::vector<SqlRow> Run(std::string_view sql, const std::vector<SqlValue>& values) = 0;
  std::vector<SqlRow> Run(std::string_view sql) { return Run(sql, {}); }

  // A transaction that will write: it waits for any other writer first, so two stations append
  // one after the other.
  virtual void BeginWrite() = 0;
  // A transaction that reads one consistent state of the database across several statements.
  virtual void BeginRead() = 0;
  // Inside a write transaction: waits until no other station is changing the schema.
  virtual void SerializeSchemaChanges() = 0;
  virtual void Commit() = 0;
  // Never fails: a rollback on a broken connection has nothing left to undo.
  virtual void Rollback() noexcept = 0;

  virtual bool HasTable(std::string_view name) = 0;
};

// Runs `work` inside a transaction begun by `begin`, committing when it returns and rolling back
// when it throws.
template <typename Begin, typename Work>
auto InTransaction(SqlConnection& connection, Begin begin, Work work) {
  (connection.*begin)();
  try {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      connection.Commit();
    } else {
      auto result = work();
      connection.Commit();
      return result;
    }
  } catch (...) {
    connection.Rollback();
    throw;
  }
}

}  // namespace velluma::history
