#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velluma {

// How a procedure of the station ended. The numbers are the run history's result codes and
// velluma-cli's exit statuses.
enum class ProcedureOutcome {
  Done = 0,     // the procedure completed
  Refused = 1,  // the file or the monitor was refused, or the verdict is "NG"
  Failed = 2,   // an abort, a device error or a file that could not be written
};

// What a procedure of the station returns: how it ended, the report the operator was shown as it
// ended (the text of the box it closed with; "" when it closed without one) and the figures of
// its kind, for the run history, in the order the history keeps them.
struct ProcedureResult {
  using Figure = std::pair<std::string, std::string>;

  // The figure that names a file the procedure used: the history adds "file_sha256" after it.
  static constexpr const char* kFileFigure = "file";

  ProcedureOutcome outcome = ProcedureOutcome::Failed;
  std::string report;
  std::vector<Figure> figures;
  std::string monitor;  // what the monitor answered to its model query; "" when not asked
  std::string cause;    // what the report does not say (the command line adds it); "" for none

  static ProcedureResult Ended(ProcedureOutcome outcome, std::string report) {
    ProcedureResult result;
    result.outcome = outcome;
    result.report = std::move(report);
    return result;
  }

  bool Done() const { return outcome == ProcedureOutcome::Done; }
  // The history's result code and the command line's exit status.
  int Code() const { return static_cast<int>(outcome); }
  void AddFigure(std::string name, std::string value) {
    figures.emplace_back(std::move(name), std::move(value));
  }
  // A file the procedure used ("" for none).
  void AddFile(const std::string& path) {
    if (!path.empty()) AddFigure(kFileFigure, path);
  }
};

}  // namespace velluma
