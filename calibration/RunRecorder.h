#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "calibration/RecordingDialogs.h"
#include "calibration/StatusView.h"
#include "history/HistoryRecord.h"
#include "history/HistoryStore.h"
#include "platform/SettingsStore.h"

namespace velluma {

// Keeps the run history: one record per procedure that talks to the monitor, written when the
// procedure has ended, whatever its outcome. The record holds who ran it where, the monitor link
// and the instrument as the settings named them when it began, the report it ended with and the
// figures the procedure gave it. A history that cannot be written never changes the procedure:
// one line on the message line (and in the log, when there is one) says so, and the next record
// tries the store again.
class RunRecorder {
 public:
  RunRecorder(RecordingDialogs& dialogs, StatusView& status, SettingsStore& settings)
      : dialogs_(dialogs), status_(status), settings_(settings) {}

  // The history at `location` (a file or a "postgresql://" server; "" or "none" for none), opened
  // when the first record is written. `log` receives the line of a failure as well, when given.
  void UseHistory(const std::string& location, std::ostream* log);
  // A store made elsewhere (the tests').
  void UseHistory(std::unique_ptr<history::HistoryStore> store, std::ostream* log);
  const std::string& Location() const { return location_; }

  // A procedure began and ended (the station's outermost procedure). Without a history nothing
  // is collected, neither settings read nor files fingerprinted.
  void Begin(history::Kind kind);
  void End();

  // What the procedure adds as it goes.
  void MonitorModel(const std::string& model);
  void Figure(const std::string& name, const std::string& value);
  // "file" and, when it can be read, "file_sha256" of the file at `path`.
  void FileFigures(const std::string& path);
  // The outcome when no report box tells it (verification).
  void Outcome(const std::string& text, int resultCode);

 private:
  bool Keeping() const;
  history::Record Finished();
  void Write(history::Record& record);
  void Complain(const std::string& line);

  RecordingDialogs& dialogs_;
  StatusView& status_;
  SettingsStore& settings_;
  std::string location_;
  std::unique_ptr<history::HistoryStore> store_;
  std::ostream* log_ = nullptr;
  bool recording_ = false;
  history::Record record_;
  std::optional<std::pair<std::string, int>> outcome_;
};

}  // namespace velluma
