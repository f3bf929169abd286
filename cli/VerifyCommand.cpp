// verify: the calibrated monitor measured against its target, with the summary on standard
// output and the report files it was asked for.
#include "cli/ExitStatus.h"
#include "cli/OpenDevices.h"
#include "cli/OutputChecks.h"
#include "cli/StationCommands.h"
#include "cli/VerificationSummary.h"
#include "platform/InterruptRequest.h"

namespace velluma::cli {

namespace {

// What the console shows of a run: the progress line (drawn by the operator); an interrupt
// from the keyboard asks the run to stop after its patch. A finished run's files are written
// when the run ends, before the run history records it.
class ConsoleVerificationView : public VerificationView {
 public:
  ConsoleVerificationView(const CommandContext& context, const OutputFiles& files)
      : context_(context), files_(files) {}
  void ShowVerification(const VerificationResult&) override {}
  bool StopRequested() override { return InterruptRequest::Requested(); }
  VerificationOutputs KeepOutputs(const VerificationResult& ended) override;

  // What became of the files; nothing was written for a run that did not finish.
  const VerificationOutputs& Outputs() const { return outputs_; }

 private:
  void Failed(const std::string& line);

  const CommandContext& context_;
  const OutputFiles& files_;
  VerificationOutputs outputs_;
};

void ConsoleVerificationView::Failed(const std::string& line) {
  context_.err << "verify: " << line << std::endl;
  if (!outputs_.failure.empty()) outputs_.failure += "; ";
  outputs_.failure += line;
}

VerificationOutputs ConsoleVerificationView::KeepOutputs(const VerificationResult& ended) {
  if (ended.outcome != VerificationResult::Outcome::Finished) return outputs_;
  const ReportInfo info = ended.Report();
  std::string reason;
  if (!files_.report.empty()) {
    if (WriteVerificationHtml(files_.report, ended.figures, info, reason))
      outputs_.report = files_.report;
    else
      Failed("cannot write the report " + files_.report + ": " + reason);
  }
  if (!files_.csv.empty() && !WriteVerificationCsv(files_.csv, ended.figures, info, reason))
    Failed("cannot write the CSV " + files_.csv + ": " + reason);
  return outputs_;
}

}  // namespace

int Verify(const CommandContext& context, const OutputFiles& files) {
  CheckOutputs(files, Command::Verify);
  VerificationResult result;
  ConsoleVerificationView view(context, files);
  {
    OpenDevices devices(context.station);
    result = context.station.Verify(view);
  }
  if (!result.readings.empty()) context.out << VerificationSummary(result) << std::flush;
  return result.procedure.Code();
}

}  // namespace velluma::cli
