#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "history/HistoryStore.h"

namespace velluma::history {

class SqliteConnection;

// The run history in a file of the operator's (SQLite); several stations may share the file.
// Opened for recording, it makes the file and its folder when missing and brings an older schema
// up to date. Opened for listing, it makes and changes nothing: a file that is not there, or holds
// no history yet, is an empty history. A query that meets a damaged page is a HistoryDamage that
// carries every run that could still be read.
class SqliteHistory : public HistoryStore {
 public:
  // How long an append waits for another station's append before it fails.
  static constexpr std::chrono::milliseconds kBusyTimeout{5000};

  explicit SqliteHistory(const std::string& path,
                         std::chrono::milliseconds busyTimeout = kBusyTimeout,
                         OpenFor use = OpenFor::Recording);
  ~SqliteHistory() override;

  void Append(Record& record) override;
  std::vector<Record> Query(const Filter& filter) override;
  std::string Where() const override;

 private:
  std::int64_t LastRunId();

  std::string path_;
  std::unique_ptr<SqliteConnection> connection_;  // none for a history to list that is not there
  bool hasSchema_ = false;
};

}  // namespace velluma::history
