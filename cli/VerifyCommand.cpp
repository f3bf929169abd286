// verify: the calibrated monitor measured against its target, with the summary on standard
// output and the report files it was asked for.
#include "cli/ExitStatus.h"
#include "cli/OpenDevices.h"
#include "cli/StationCommands.h"
#include "cli/UsageError.h"
#include "cli/VerificationSummary.h"
#include "platform/AtomicFile.h"
#include "platform/InterruptRequest.h"

namespace velluma::cli {

namespace {

// What the console shows of a run: the progress line (drawn by the operator); an interrupt
// from the keyboard asks the run to stop after its patch. A finished run's files are written
// when the run ends, before the run history records it.
class ConsoleVerificationView : public VerificationView {
 public:
  ConsoleVerificationView(const CommandContext& context, const VerificationFiles& files)
      : context_(context), files_(files) {}
  void ShowVerification(const VerificationResult&) override {}
  bool StopRequested() override { return InterruptRequest::Requested(); }
  VerificationOutputs KeepOutputs(const VerificationResult& ended) override;

  // What became of the files; nothing was written for a run that did not finish.
  const VerificationOutputs& Outputs() const { return outputs_; }

 private:
  void Failed(const std::string& line);

  const CommandContext& context_;
  const VerificationFiles& files_;
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

[[noreturn]] void RefuseOutput(const char* option, const std::string& path,
                               const std::string& why) {
  throw UsageError(std::string(option) + " '" + path + "': " + why, Command::Verify);
}

// The files are checked before any device is opened, by the rules the save itself keeps, so
// that a run never measures every patch only to find it cannot keep them. Standard output
// carries the table (and standard error the messages): a file there would be mixed with it, or
// replaced under it.
void CheckOutputs(const VerificationFiles& files) {
  const std::pair<const char*, const std::string*> outputs[] = {{"--report", &files.report},
                                                                {"--csv", &files.csv}};
  for (const auto& [option, path] : outputs) {
    if (path->empty()) continue;
    const std::string_view stream = ConsoleStreamAt(*path);
    if (stream == "standard output")
      RefuseOutput(option, *path, "standard output carries the table; name a file instead");
    if (!stream.empty())
      RefuseOutput(option, *path, "standard error carries the messages; name a file instead");
    if (const auto problem = SaveProblem(*path)) RefuseOutput(option, *path, *problem);
  }
  if (!files.report.empty() && !files.csv.empty() && SameSaveTarget(files.report, files.csv))
    throw UsageError(
        "--report '" + files.report + "' and --csv '" + files.csv + "' name the same file",
        Command::Verify);
}

}  // namespace

int Verify(const CommandContext& context, const VerificationFiles& files) {
  CheckOutputs(files);
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
