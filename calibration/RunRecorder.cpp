#include "calibration/RunRecorder.h"

#include <algorithm>

#include "calibration/ProcedureOutcome.h"
#include "history/HistoryError.h"
#include "history/OpenHistory.h"
#include "history/Sha256.h"
#include "platform/Settings.h"
#include "platform/StationIdentity.h"

namespace velluma {

namespace {

// The box a procedure closed with: its last one that was not a question.
std::string ReportText(const std::vector<ShownBox>& boxes) {
  const auto report = std::find_if(boxes.rbegin(), boxes.rend(), [](const ShownBox& box) {
    return box.flags != Dialogs::kYesNoQuestion;
  });
  return report == boxes.rend() ? std::string() : report->text;
}

int ResultCode(history::Kind kind, const std::vector<ShownBox>& boxes) {
  switch (kind) {
    case history::Kind::Auto:
      return AutoOutcome(boxes);
    case history::Kind::ZeroCal:
      return CompletionOutcome(boxes, "0-Cal.");
    default:
      return CompletionOutcome(boxes, "PC->MONITOR");
  }
}

}  // namespace

void RunRecorder::UseHistory(const std::string& location, std::ostream* log) {
  location_ = location;
  store_.reset();
  log_ = log;
}

void RunRecorder::UseHistory(std::unique_ptr<history::HistoryStore> store, std::ostream* log) {
  location_.clear();
  store_ = std::move(store);
  log_ = log;
}

bool RunRecorder::Keeping() const {
  return store_ || !history::NoHistoryReason(location_);
}

void RunRecorder::Begin(history::Kind kind) {
  dialogs_.Forget();
  recording_ = Keeping();
  if (!recording_) return;
  outcome_.reset();
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

void RunRecorder::End() {
  if (!recording_) return;
  recording_ = false;
  history::Record record = Finished();
  Write(record);
}

void RunRecorder::MonitorModel(const std::string& model) {
  if (recording_) record_.monitorModel = model;
}

void RunRecorder::Figure(const std::string& name, const std::string& value) {
  if (recording_) record_.figures.emplace_back(name, value);
}

void RunRecorder::FileFigures(const std::string& path) {
  if (!recording_ || path.empty()) return;
  Figure("file", path);
  if (const auto sha256 = history::Sha256OfFile(path)) Figure("file_sha256", *sha256);
}

void RunRecorder::Outcome(const std::string& text, int resultCode) {
  if (recording_) outcome_ = {text, resultCode};
}

history::Record RunRecorder::Finished() {
  history::Record record = std::move(record_);
  record_ = {};
  if (outcome_) {
    record.outcome = outcome_->first;
    record.resultCode = outcome_->second;
  } else {
    record.outcome = ReportText(dialogs_.Boxes());
    record.resultCode = ResultCode(record.kind, dialogs_.Boxes());
  }
  dialogs_.Forget();
  return record;
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
