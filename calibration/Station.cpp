#include "calibration/Station.h"

namespace velluma {

namespace {
constexpr int kQueryReplyBytes = 1920;
constexpr int kAddressedLinkSpeed = 38400;
}  // namespace

Station::Station(Operator& op, SettingsStore& settings, Clock& clock)
    : op(op),
      settings(settings),
      clock(clock),
      front_([this] { return ReadSetting(setting::AnalizerModel); },
             {CaAnalyzer, I1Analyzer, PrAnalyzer}, clock) {
  UseUnconnectedLink();
}

// A link without a port: every exchange fails with "Communication Error". The station holds one
// until start-up opens the configured port, and again when a setting that cannot be read stops
// the devices from being made, so the buttons report instead of finding no link.
// The link reads "MonitorSpeed" at the moments a LUT transfer needs it.
LinkEnvironment Station::MakeLinkEnvironment() {
  return {clock, [this] { return ReadSetting(setting::MonitorSpeed); }};
}

void Station::UseUnconnectedLink() {
  Lcd = std::make_unique<LCD>(0, "", 0, MakeLinkEnvironment());
}

Station::~Station() = default;

Station::ProcedureScope::ProcedureScope(Station& station)
    : station_(station), outer_(!station.procedureRunning_) {
  if (!outer_) return;
  station_.procedureRunning_ = true;
  station_.op.SetProcedureRunning(true);
}

Station::ProcedureScope::~ProcedureScope() {
  if (!outer_) return;
  station_.procedureRunning_ = false;
  station_.op.SetProcedureRunning(false);
}

void Station::LoadSettings() {
  settings.LoadSettings();
}

void Station::FormCreate() {
  LoadSettings();
  CalibrationData.Primaries = {};
  op.RefreshGridFG();
  op.RefreshGridLUT();
  op.RefreshGridWB();
  op.ShowStartPages();
  op.SetStatusText(0, "Busy", true);
  CreateDevices();
  op.SelectLutMemory(ReadSetting(setting::LookUpTableSendTo));
  op.SelectFilmGammaMemory(ReadSetting(setting::FilmGammaSendTo));
  op.SetStatusText(0, "", false);
  op.SetStatusText(2, kUntitled, false);
  LutLoaded = {};
  FilmGammaLoaded = {};
  CalibrationDataReady = 0;

  std::string reply;
  reply.reserve(kQueryReplyBytes);
  if (Lcd->Query("QID", reply) < 0 || reply != kModelName) return;
  op.ShowModelName(reply);
  op.AcceptDroppedFiles();
}

// The driver of the configured instrument: the i1-Pro and the PR-655 are created now; a CA-210
// or CA-310 is created by its first use (0-CAL. or AUTO); any other model has none.
void Station::CreateAnalyzer() {
  const InstrumentModel& model = ConfiguredInstrument();
  if (model.family == InstrumentFamily::I1)
    I1Analyzer = std::make_unique<Analyzer2>(model.driverKind, ReadSetting(setting::AnalizerPort),
                                             ReadSetting(setting::AnalizerSpeed));
  else if (model.family == InstrumentFamily::Pr)
    PrAnalyzer = std::make_unique<Analyzer3>(model.driverKind, ReadSetting(setting::AnalizerPort),
                                             ReadSetting(setting::AnalizerSpeed), clock);
}

const InstrumentModel& Station::ConfiguredInstrument() const {
  return InstrumentModelNamed(ReadSetting(setting::AnalizerModel));
}

// "RS-232C" exactly: the plain link; any other text: the addressed link.
void Station::CreateLcd() {
  const LinkEnvironment environment = MakeLinkEnvironment();
  int kind = 0;
  if (ReadSetting(setting::MonitorType) == setting::kPlainLink) {
    Lcd = std::make_unique<LCD>(kind, ReadSetting(setting::MonitorPort),
                                ReadSetting(setting::MonitorSpeed), environment);
  } else {
    kind = 1;
    Lcd = std::make_unique<LCD>(kind, ReadSetting(setting::MonitorPort), kAddressedLinkSpeed,
                                environment);
  }
  Lcd->SetMonitorId(kind, ReadSetting(setting::MonitorId));
  Lcd->BeginSession();
}

void Station::CreateDevices() {
  try {
    CreateAnalyzer();
    CreateLcd();
  } catch (...) {
    if (!Lcd) UseUnconnectedLink();
    throw;
  }
}

void Station::DestroyDevices() {
  if (Lcd) {
    Lcd->EndSession();
    Lcd.reset();
  }
  CaAnalyzer.reset();
  I1Analyzer.reset();
  PrAnalyzer.reset();
}

void Station::FilePropertyExecute() {
  if (procedureRunning_) return;
  DestroyDevices();
  op.ShowPropertyDialog();
  op.SetStatusText(0, "Busy", true);
  CreateDevices();
  op.SetStatusText(0, "", false);
}

bool Station::FileExitExecute() {
  if (procedureRunning_) return false;
  if (op.MessageBox("EXIT?", "Application", Operator::kOkCancelError) != Operator::kAnswerOk)
    return false;
  DestroyDevices();
  return true;
}

void Station::FuncPageControlChange(int newTab) {
  if (PreviousTab >= 0 && PreviousTab < 3) TabFileNames[PreviousTab] = op.StatusText(2);
  PreviousTab = newTab;
  if (newTab != Operator::kCalibrationTab) op.ShowMessageLine("");
  for (int panel = 0; panel < 3; ++panel) op.SetStatusText(panel, "", false);
  if (newTab >= 0 && newTab < 3) op.SetStatusText(2, TabFileNames[newTab], false);
}

}  // namespace velluma
