// verify: the calibrated monitor measured against its target, with the summary on standard
// output and the report files it was asked for.
#include "cli/OpenDevices.h"
#include "cli/RunOutcome.h"
#include "cli/StationCommands.h"
#include "cli/VerificationSummary.h"
#include "platform/InterruptRequest.h"

namespace velluma::cli {

namespace {

// What the console shows of a run: the progress line (drawn by the operator); an interrupt
// from the keyboard asks the run to stop after its patch.
class ConsoleVerificationView : public VerificationView {
 public:
  explicit ConsoleVerificationView(std::string report) : report_(std::move(report)) {}
  void ShowVerification(const VerificationResult&) override {}
  bool StopRequested() override { return InterruptRequest::Requested(); }
  std::string ReportPath() const override { return report_; }

 private:
  std::string report_;
};

int ExitStatus(const VerificationResult& result) {
  if (result.outcome != VerificationResult::Outcome::Finished) return kExitFailed;
  return result.Passes() ? kExitDone : kExitRefused;
}

}  // namespace

bool WriteVerificationFiles(const CommandContext& context, const VerificationFiles& files,
                            const VerificationResult& result) {
  const ReportInfo info = result.Report();
  bool written = true;
  if (!files.report.empty() && !WriteVerificationHtml(files.report, result.figures, info)) {
    context.err << "verify: cannot write the report " << files.report << std::endl;
    written = false;
  }
  if (!files.csv.empty() && !WriteVerificationCsv(files.csv, result.figures, info)) {
    context.err << "verify: cannot write the CSV " << files.csv << std::endl;
    written = false;
  }
  return written;
}

int Verify(const CommandContext& context, const VerificationFiles& files) {
  VerificationResult result;
  {
    OpenDevices devices(context.station);
    ConsoleVerificationView view(files.report);
    result = context.station.Verify(view);
  }
  if (!result.readings.empty()) context.out << VerificationSummary(result) << std::flush;
  if (result.outcome != VerificationResult::Outcome::Finished) return ExitStatus(result);
  if (!WriteVerificationFiles(context, files, result)) return kExitFailed;
  return ExitStatus(result);
}

}  // namespace velluma::cli
