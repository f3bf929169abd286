#include "calibration/Station.h"

#include "calibration/StationSettings.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {
constexpr int kQueryReplyBytes = 1920;
}  // namespace

Station::Station(Dialogs& dialogs, StatusView& status, Views& views, SettingsStore& settings,
                 Clock& clock)
    : dialogs_(dialogs),
      status_(status),
      views_(views),
      settings_(settings),
      devices_(settings, clock, dialogs_),
      preparation_(devices_, dialogs_, status, views),
      measurement_(devices_, held_.calibration, dialogs_, status, views, clock),
      verification_(devices_, measurement_, dialogs_, status),
      correction_(devices_, measurement_, verification_, held_, dialogs_, status, views),
      files_(held_, settings, dialogs_, status, views),
      transfers_(devices_, held_, dialogs_, status),
      recorder_(status, settings) {}

Station::ProcedureScope::ProcedureScope(Station& station, std::optional<history::Kind> recorded)
    : station_(station), outer_(!station.procedureRunning_), recorded_(outer_ && recorded) {
  if (!outer_) return;
  station_.procedureRunning_ = true;
  station_.status_.SetProcedureRunning(true);
  if (recorded_) station_.recorder_.Begin(*recorded);
}

Station::ProcedureScope::~ProcedureScope() {
  if (!outer_) return;
  if (recorded_) station_.recorder_.End(result_, station_.devices_.Stop().Reason());
  station_.procedureRunning_ = false;
  station_.status_.SetProcedureRunning(false);
}

void Station::Start() {
  settings_.LoadSettings(setting::kAll);
  held_.calibration.primaries = {};
  views_.RefreshFilmGammaTable();
  views_.RefreshLutTable();
  views_.RefreshCalibrationTables();
  views_.ShowStartPages();
  status_.SetStatusText(0, "Busy", true);
  OpenDevices();
  views_.SelectLutMemory(ReadSetting(setting::kLookUpTableSendTo));
  views_.SelectFilmGammaMemory(ReadSetting(setting::kFilmGammaSendTo));
  status_.SetStatusText(0, "", false);
  files_.SetCurrentFileName(TableFiles::kUntitled);
  held_.lutLoaded = {};
  held_.filmGammaLoaded = {};
  held_.calibrationReady = false;

  std::string reply;
  reply.reserve(kQueryReplyBytes);
  if (devices_.Link()->Query("QID", reply) < 0 || reply != kModelName) return;
  status_.ShowModelName(reply);
  status_.AcceptDroppedFiles();
}

// A port that exists but is refused to this user (with the group that may use it), one that
// another run is using, a monitor brought back from a killed run's speed: each is said on the
// message line, where otherwise the operator would see only "Communication Error" later.
bool Station::OpenDevices() {
  devices_.Create();
  if (const std::string notices = devices_.PortNotices(); !notices.empty())
    status_.ShowMessageLine(notices);
  return devices_.BusyPorts().empty();
}

void Station::ChangeSettings() {
  if (procedureRunning_) return;
  CloseDevices();
  dialogs_.ShowPropertyDialog();
  status_.SetStatusText(0, "Busy", true);
  OpenDevices();
  status_.SetStatusText(0, "", false);
}

bool Station::Exit() {
  if (procedureRunning_) return false;
  if (dialogs_.MessageBox("EXIT?", "Application", Dialogs::kOkCancelError) != Dialogs::kAnswerOk)
    return false;
  CloseDevices();
  return true;
}

void Station::OpenFile() {
  if (!procedureRunning_) files_.Open();
}

ProcedureResult Station::OpenFiles(const std::vector<std::string>& paths) {
  if (procedureRunning_) return ProcedureResult::Ended(ProcedureOutcome::Refused, "");
  return files_.OpenDropped(paths);
}

ProcedureResult Station::LoadLut(const std::string& path) {
  const LUTLoadResult loaded = files_.ReadLutFile(path);
  ProcedureResult result = ProcedureResult::Ended(
      loaded.code == 0 ? ProcedureOutcome::Done : ProcedureOutcome::Refused, loaded.message);
  result.cause = loaded.cause;
  return result;
}

// A transfer, with the figures of its record: the memory it went to (none for PC -> MONITOR), the
// file its data came from and the frames it took.
ProcedureResult Station::RunTransfer(history::Kind kind, std::optional<int> memory,
                                     const std::string& source,
                                     const std::function<ProcedureResult()>& send) {
  ProcedureScope procedure(*this, kind);
  const auto framesSent = [this] { return devices_.Link() ? devices_.Link()->FramesSent() : 0; };
  const long before = framesSent();
  ProcedureResult result = send();
  if (memory) result.AddFigure("memory", std::string(setting::kMemories[*memory]));
  result.AddFile(source);
  result.AddFigure("frames", std::to_string(framesSent() - before));
  return procedure.Ended(result);
}

ProcedureResult Station::SendCalibration() {
  return RunTransfer(history::Kind::SendCalibration, std::nullopt, held_.calibrationSource,
                     [this] { return transfers_.SendCalibration(); });
}

ProcedureResult Station::SendLut(int memory) {
  return RunTransfer(history::Kind::SendLut, memory, held_.lutSource[memory],
                     [this, memory] { return transfers_.SendLut(memory); });
}

ProcedureResult Station::SendFilmGamma(int memory) {
  return RunTransfer(history::Kind::SendFilmGamma, memory, held_.filmGammaSource[memory],
                     [this, memory] { return transfers_.SendFilmGamma(memory); });
}

ProcedureResult Station::ZeroCalibrateOnce() {
  status_.LockControls();
  status_.SetStatusText(0, "0-Cal", true);
  // A CA set-up that found no instrument has shown its box; the controls stay locked until
  // the program is restarted.
  const std::string caFailure = devices_.CreateCaAnalyzer();
  if (devices_.CaSetUpFailed()) return ProcedureResult::Ended(ProcedureOutcome::Failed, caFailure);
  ProcedureResult result;
  if (const InstrumentPreparation::Readiness ready = preparation_.CalibrateInstrument();
      ready.ready) {
    dialogs_.MessageBox("Complete.", "0-Cal.", Dialogs::kOk);
    result = ProcedureResult::Ended(ProcedureOutcome::Done, "Complete.");
  } else {
    result = ProcedureResult::Ended(ProcedureOutcome::Failed, ready.failure);
  }
  status_.SetStatusText(0, "", false);
  status_.UnlockControls();
  return result;
}

ProcedureResult Station::ZeroCalibrate() {
  ProcedureScope procedure(*this, history::Kind::ZeroCal);
  return procedure.Ended(ZeroCalibrateOnce());
}

// The configured instrument ready to measure: the CA driver made on first use as AUTO makes it
// (a failed set-up has shown its box), the i1-Pro prepared; the PR-655 needs nothing more.
bool Station::InstrumentReadyToMeasure() {
  if (devices_.ConfiguredInstrument().asksOperator) return PrepareI1ForMeasuring();
  devices_.CreateCaAnalyzer();
  return !devices_.CaSetUpFailed();
}

ProcedureResult Station::MeasurePatch(int red, int green, int blue) {
  ProcedureScope procedure(*this);
  constexpr const char* kCaption = "Measurement";
  if (!InstrumentReadyToMeasure()) return ProcedureResult::Ended(ProcedureOutcome::Failed, "");
  AnalyzerFront& front = devices_.Front();
  if (const InstrumentResult begun = front.BeginRemote(); !begun.Ok()) {
    const std::string failure = "Analyzer: " + begun.ErrorText();
    dialogs_.MessageBox(failure, kCaption, Dialogs::kError);
    return ProcedureResult::Ended(ProcedureOutcome::Failed, failure);
  }
  XyYValue value;
  const std::string name = FormatC("%d,%d,%d", red, green, blue);
  const PatchResult patch = measurement_.MeasurePatch(red, green, blue, name, kCaption, value);
  front.EndRemote();
  if (!patch.Measured()) return ProcedureResult::Ended(ProcedureOutcome::Failed, patch.failure);
  return ProcedureResult::Ended(ProcedureOutcome::Done, "");
}

ProcedureResult Station::QueryMonitor() {
  std::string model;
  LCD& link = *devices_.Link();
  if (const int read = link.Query("QID", model); read < 0)
    return ProcedureResult::Ended(ProcedureOutcome::Failed,
                                  "monitor: " + link.ErrorText(ResultOfRead(read)));
  ProcedureResult result = ProcedureResult::Ended(
      model == kModelName ? ProcedureOutcome::Done : ProcedureOutcome::Refused, model);
  result.monitor = model;
  return result;
}

}  // namespace velluma
