#include "calibration/Station.h"

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
      devices_(settings, clock, dialogs),
      preparation_(devices_, dialogs, status, views),
      measurement_(devices_, held_.calibration, dialogs, status, views, clock),
      verification_(devices_, measurement_, dialogs, status),
      files_(held_, settings, dialogs, status, views),
      transfers_(devices_, held_, dialogs, status, views) {}

Station::ProcedureScope::ProcedureScope(Station& station)
    : station_(station), outer_(!station.procedureRunning_) {
  if (!outer_) return;
  station_.procedureRunning_ = true;
  station_.status_.SetProcedureRunning(true);
}

Station::ProcedureScope::~ProcedureScope() {
  if (!outer_) return;
  station_.procedureRunning_ = false;
  station_.status_.SetProcedureRunning(false);
}

void Station::FormCreate() {
  LoadSettings();
  held_.calibration.Primaries = {};
  views_.RefreshGridFG();
  views_.RefreshGridLUT();
  views_.RefreshGridWB();
  views_.ShowStartPages();
  status_.SetStatusText(0, "Busy", true);
  CreateDevices();
  views_.SelectLutMemory(ReadSetting(setting::LookUpTableSendTo));
  views_.SelectFilmGammaMemory(ReadSetting(setting::FilmGammaSendTo));
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

// A port that exists but is refused to this user is said on the message line, with the group
// that may use it: otherwise the operator would see only "Communication Error" later.
void Station::CreateDevices() {
  devices_.Create();
  if (const std::string advice = devices_.PortAccessAdvice(); !advice.empty())
    status_.ShowMessageLine(advice);
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
  if (!procedureRunning_) files_.FileOpenExecute();
}

void Station::DropFiles(const std::vector<std::string>& paths) {
  if (!procedureRunning_) files_.DropFiles(paths);
}

void Station::DownloadButtonClick() {
  ProcedureScope procedure(*this);
  transfers_.DownloadButtonClick();
}

void Station::LUTStartButtonClick() {
  ProcedureScope procedure(*this);
  transfers_.LUTStartButtonClick();
}

void Station::FilmGammaStartButtonClick() {
  ProcedureScope procedure(*this);
  transfers_.FilmGammaStartButtonClick();
}

void Station::ZeroCalButtonClick() {
  ProcedureScope procedure(*this);
  status_.LockControls();
  status_.SetStatusText(0, "0-Cal", true);
  CreateCaAnalyzer();
  // A CA set-up that found no instrument has shown its box; the controls stay locked until
  // the program is restarted.
  if (devices_.ConfiguredInstrument().family == InstrumentFamily::Ca &&
      Analyzer::SetupStatus() == -1)
    return;
  if (InstrumentCalibration() == 1) dialogs_.MessageBox("Complete.", "0-Cal.", Dialogs::kOk);
  status_.SetStatusText(0, "", false);
  status_.UnlockControls();
}

bool Station::MeasurePatch(int red, int green, int blue, const std::string& patchName,
                           const std::string& caption, XyYValue& result) {
  return measurement_.MeasurePatch(red, green, blue, patchName, caption, result) ==
         PatchOutcome::Measured;
}

bool Station::MeasureSequence() {
  return measurement_.MeasureSequence() == SequenceOutcome::Complete;
}

void Station::HoldCalibrationData(const CalibrationData& data) {
  held_.calibration = data;
  held_.calibrationReady = true;
}

void Station::HoldLut(int memory, const UserMemoryTables::LutTable& table) {
  held_.tables.LutTables.at(memory) = table;
  held_.lutLoaded.at(memory) = true;
}

void Station::HoldFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table) {
  held_.tables.FilmGammaTables.at(memory) = table;
  held_.filmGammaLoaded.at(memory) = true;
}

}  // namespace velluma
