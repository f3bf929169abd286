#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "calibration/ProcedureResult.h"
#include "calibration/StatusView.h"
#include "history/HistoryRecord.h"
#include "history/HistoryStore.h"
#include "platform/SettingsStore.h"

namespace velluma {

// Keeps the run history: one record per procedure that talks to the monitor, written when the
// procedure has ended, whatever its outcome. The record holds who ran it where, the monitor link
// and the instrument as the settings named them when it began, and the procedure's result: its
// outcome, the report it ended with, the monitor's answer and its figures. A history that cannot be
// written never changes the procedure: one line on the message line (and in the log, when there is
// one) says so, and the next record tries the store again.
class RunRecorder {
 public:
  RunRecorder(StatusView& status, SettingsStore& settings) : status_(status), settings_(settings) {}

  // The history at `location` (a file or a "postgresql://" server; "" or "none" for none), opened
  // when the first record is written. `log` receives the line of a failure as well, when given.
  void UseHistory(const std::string& location, std::ostream* log);
  const std::string& Location() const { return location_; }

  // A procedure began (the station's outermost procedure), and ended with `result`; one that was
  // stopped from outside (`stopReason` names what asked) is recorded as failed, "Stopped by ...".
  // Without a history nothing is collected, neither settings read nor files fingerprinted; a
  // "file" figure gets "file_sha256" after it when the file can be read.
  void Begin(history::Kind kind);
  void End(const ProcedureResult& result, const std::string& stopReason);

 private:
  bool Keeping() const;
  void Finish(const ProcedureResult& result, const std::string& stopReason);
  void Write(history::Record& record);
  void Complain(const std::string& line);

  StatusView& status_;
  SettingsStore& settings_;
  std::string location_;
  std::unique_ptr<history::HistoryStore> store_;
  std::ostream* log_ = nullptr;
  bool recording_ = false;
  history::Record record_;
};

}  // namespace velluma
