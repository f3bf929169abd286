#include "calibration/Station.h"

#include "platform/Settings.h"

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

void Station::FormCreate() {
  LoadSettings();
  held_.calibration.Primaries = {};
  views_.RefreshFilmGammaTable();
  views_.RefreshLutTable();
  views_.RefreshCalibrationTables();
  views_.ShowStartPages();
  status_.SetStatusText(0, "Busy", true);
  CreateDevices();
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
void Station::CreateDevices() {
  devices_.Create();
  if (const std::string notices = devices_.PortNotices(); !notices.empty())
    status_.ShowMessageLine(notices);
}

void Station::FilePropertyExecute() {
  if (procedureRunning_) return;
  DestroyDevices();
  dialogs_.ShowPropertyDialog();
  status_.SetStatusText(0, "Busy", true);
  CreateDevices();
  status_.SetStatusText(0, "", false);
}

bool Station::FileExitExecute() {
  if (procedureRunning_) return false;
  if (dialogs_.MessageBox("EXIT?", "Application", Dialogs::kOkCancelError) != Dialogs::kAnswerOk)
    return false;
  DestroyDevices();
  return true;
}

void Station::FileOpenExecute() {
  if (!procedureRunning_) files_.Open();
}

void Station::DropFiles(const std::vector<std::string>& paths) {
  if (!procedureRunning_) files_.OpenDropped(paths);
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

ProcedureResult Station::DownloadButtonClick() {
  return RunTransfer(history::Kind::SendCalibration, std::nullopt, held_.calibrationSource,
                     [this] { return transfers_.SendCalibration(); });
}

ProcedureResult Station::LUTStartButtonClick() {
  const int memory = views_.LutMemory();
  return RunTransfer(history::Kind::SendLut, memory, held_.lutSource[memory],
                     [this, memory] { return transfers_.SendLut(memory); });
}

ProcedureResult Station::FilmGammaStartButtonClick() {
  const int memory = views_.FilmGammaMemory();
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

ProcedureResult Station::ZeroCalButtonClick() {
  ProcedureScope procedure(*this, history::Kind::ZeroCal);
  return procedure.Ended(ZeroCalibrateOnce());
}

bool Station::MeasurePatch(int red, int green, int blue, const std::string& patchName,
                           const std::string& caption, XyYValue& result) {
  return measurement_.MeasurePatch(red, green, blue, patchName, caption, result).Measured();
}

bool Station::MeasureSequence() {
  return measurement_.MeasureSequence().outcome == SequenceOutcome::Complete;
}

void Station::HoldCalibrationData(const CalibrationData& data) {
  held_.calibration = data;
  held_.calibrationReady = true;
  held_.calibrationSource.clear();
}

void Station::HoldLut(int memory, const UserMemoryTables::LutTable& table) {
  held_.tables.LutTables.at(memory) = table;
  held_.lutLoaded.at(memory) = true;
  held_.lutSource.at(memory).clear();
}

void Station::HoldFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table) {
  held_.tables.FilmGammaTables.at(memory) = table;
  held_.filmGammaLoaded.at(memory) = true;
  held_.filmGammaSource.at(memory).clear();
}

}  // namespace velluma
