// correct: a correction LUT for a user memory, made from measurements through it, with the
// verification before and after on standard output and the files it was asked for.
#include "calibration/CorrectionFiles.h"
#include "cli/CorrectionSummary.h"
#include "cli/OpenDevices.h"
#include "cli/OutputChecks.h"
#include "cli/StationCommands.h"
#include "platform/InterruptRequest.h"

namespace velluma::cli {

namespace {

// What the console shows of a run: the progress line and the messages (drawn by the operator);
// an interrupt from the keyboard asks the run to stop after the patch or the table in flight. A
// finished run's files are written when the run ends, before the run history records it.
class ConsoleCorrectionView : public CorrectionView {
 public:
  ConsoleCorrectionView(const CommandContext& context, const OutputFiles& files)
      : context_(context), files_(files) {}
  void ShowCorrection(const CorrectionResult&) override {}
  bool StopRequested() override { return InterruptRequest::Requested(); }
  CorrectionOutputs KeepOutputs(const CorrectionResult& ended) override;

 private:
  using Writer = bool (*)(const std::string&, const CorrectionResult&, std::string&);
  // Writes `path` (when given) with `write`; true when it was written.
  bool Keep(const std::string& path, const char* what, Writer write, const CorrectionResult& ended);

  const CommandContext& context_;
  const OutputFiles& files_;
  CorrectionOutputs outputs_;
};

bool ConsoleCorrectionView::Keep(const std::string& path, const char* what, Writer write,
                                 const CorrectionResult& ended) {
  if (path.empty()) return false;
  std::string reason;
  if (write(path, ended, reason)) return true;
  const std::string line = std::string("cannot write the ") + what + " " + path + ": " + reason;
  context_.err << "correct: " << line << std::endl;
  if (!outputs_.failure.empty()) outputs_.failure += "; ";
  outputs_.failure += line;
  return false;
}

CorrectionOutputs ConsoleCorrectionView::KeepOutputs(const CorrectionResult& ended) {
  if (ended.outcome != CorrectionResult::Outcome::Finished) return outputs_;
  if (Keep(files_.cube, "LUT", WriteCorrectionCube, ended)) outputs_.cube = files_.cube;
  if (Keep(files_.report, "report", WriteCorrectionHtml, ended)) outputs_.report = files_.report;
  Keep(files_.csv, "CSV", WriteCorrectionCsv, ended);
  return outputs_;
}

}  // namespace

int Correct(const CommandContext& context, int memory, const OutputFiles& files) {
  CheckOutputs(files, Command::Correct);
  CorrectionResult result;
  ConsoleCorrectionView view(context, files);
  {
    OpenDevices devices(context.station);
    result = context.station.Correct(memory, view);
  }
  context.out << CorrectionSummary(result) << std::flush;
  return result.procedure.Code();
}

}  // namespace velluma::cli
