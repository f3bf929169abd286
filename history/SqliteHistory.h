#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "history/HistoryStore.h"

namespace velluma::history {

class SqliteConnection;

// The run history in a file of the operator's (SQLite). Opening makes the file and its folder
// when missing and brings an older schema up to date; several stations may share the file.
class SqliteHistory : public HistoryStore {
 public:
  // How long an append waits for another station's append before it fails.
  static constexpr std::chrono::milliseconds kBusyTimeout{5000};

  explicit SqliteHistory(const std::string& path,
                         std::chrono::milliseconds busyTimeout = kBusyTimeout);
  ~SqliteHistory() override;

  void Append(Record& record) override;
  std::vector<Record> Query(const Filter& filter) override;
  std::string Where() const override { return path_; }

 private:
  std::string path_;
  std::unique_ptr<SqliteConnection> connection_;
};

}  // namespace velluma::history
