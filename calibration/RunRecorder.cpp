#include "calibration/RunRecorder.h"

#include "calibration/StationSettings.h"
#include "history/HistoryError.h"
#include "history/OpenHistory.h"
#include "history/Sha256.h"
#include "platform/StationIdentity.h"

namespace velluma {

void RunRecorder::UseHistory(const std::string& location, std::ostream* log) {
  location_ = location;
  store_.reset();
  log_ = log;
}

bool RunRecorder::Keeping() const {
  return store_ || !history::NoHistoryReason(location_);
}

void RunRecorder::Begin(history::Kind kind) {
  recording_ = Keeping();
  if (!recording_) return;
  record_ = {};
  record_.kind = kind;
  record_.timeUtc = UtcNow();
  record_.host = HostName();
  record_.user = UserName();
  try {
    record_.monitorPort = settings_.Read(setting::kMonitorPort);
    record_.monitorLink = settings_.Read(setting::kMonitorType);
    record_.monitorSpeed = settings_.Read(setting::kMonitorSpeed);
    record_.instrument = settings_.Read(setting::kAnalyzerModel);
    record_.instrumentPort = settings_.Read(setting::kAnalyzerPort);
  } catch (const std::exception&) {
    // The procedure meets the unreadable settings itself and says so; the record keeps blanks.
  }
}

void RunRecorder::End(const ProcedureResult& result, const std::string& stopReason) {
  if (!recording_) return;
  recording_ = false;
  Finish(result, stopReason);
  history::Record record = std::move(record_);
  record_ = {};
  Write(record);
}

void RunRecorder::Finish(const ProcedureResult& result, const std::string& stopReason) {
  record_.monitorModel = result.monitor;
  record_.outcome = stopReason.empty() ? result.report : "Stopped by " + stopReason;
  record_.resultCode =
      stopReason.empty() ? result.Code() : static_cast<int>(ProcedureOutcome::Failed);
  for (const auto& [name, value] : result.figures) {
    record_.figures.emplace_back(name, value);
    if (name != ProcedureResult::kFileFigure) continue;
    if (const auto sha256 = history::Sha256OfFile(value))
      record_.figures.emplace_back("file_sha256", *sha256);
  }
}

void RunRecorder::Write(history::Record& record) {
  try {
    if (!store_) store_ = history::OpenHistory(location_);
    store_->Append(record);
  } catch (const history::HistoryError& error) {
    // A server that went away is opened afresh for the next record.
    if (!location_.empty()) store_.reset();
    Complain(std::string(error.what()) + "; this run is not in the history");
  } catch (const std::exception& error) {
    if (!location_.empty()) store_.reset();
    Complain(std::string("history: ") + error.what() + "; this run is not in the history");
  }
}

void RunRecorder::Complain(const std::string& line) {
  status_.ShowMessageLine(line);
  if (log_) *log_ << line << std::endl;
}

}  // namespace velluma
