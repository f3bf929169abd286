#include "calibration/Devices.h"

#include "calibration/StationSettings.h"

namespace velluma {

namespace {
constexpr int kAddressedLinkSpeed = 38400;
}  // namespace

Devices::Devices(SettingsStore& settings, Clock& clock, Dialogs& dialogs)
    : settings_(settings),
      clock_(clock),
      dialogs_(dialogs),
      front_([this] { return settings_.Read(setting::kAnalyzerModel); }, {ca_, i1_, pr_}, clock) {
  UseUnconnectedLink();
}

Devices::~Devices() = default;

// The link reads "MonitorSpeed" at the moments a LUT transfer needs it, and asks between frames
// whether the run is to stop.
LinkEnvironment Devices::MakeLinkEnvironment() {
  return {clock_, [this] { return settings_.Read(setting::kMonitorSpeed); },
          [this] { return !finishTables_ && stop_.Requested(); }};
}

// A link without a port: every exchange fails with "Communication Error". The devices hold one
// until start-up opens the configured port, and again when a setting that cannot be read stops
// the devices from being made, so the buttons report instead of finding no link.
void Devices::UseUnconnectedLink() {
  lcd_ = std::make_unique<LCD>(0, "", 0, MakeLinkEnvironment());
}

const InstrumentModel& Devices::ConfiguredInstrument() const {
  return InstrumentModelNamed(settings_.Read(setting::kAnalyzerModel));
}

namespace {
void AddNotice(std::string& notices, const std::string& notice) {
  if (notice.empty()) return;
  if (!notices.empty()) notices += "; ";
  notices += notice;
}
}  // namespace

std::string Devices::BusyPorts() const {
  std::string busy;
  for (const SerialPort* port : {lcd_ ? &lcd_->Port() : nullptr, pr_ ? &pr_->Port() : nullptr})
    if (port) AddNotice(busy, port->BusyReason());
  return busy;
}

std::string Devices::PortNotices() const {
  std::string notices;
  for (const SerialPort* port : {lcd_ ? &lcd_->Port() : nullptr, pr_ ? &pr_->Port() : nullptr})
    if (port) AddNotice(notices, port->AccessAdvice());
  AddNotice(notices, BusyPorts());
  if (const std::optional<int> speed = lcd_ ? lcd_->RecoveredSpeed() : std::nullopt)
    AddNotice(notices, lcd_->Port().DevicePath() + ": the monitor was left at " +
                           std::to_string(*speed) +
                           " bit/s by a run that ended during a LUT transfer; it was sent back "
                           "to 9600 bit/s");
  return notices;
}

bool Devices::CaSetUpFailed() const {
  return ConfiguredInstrument().family == InstrumentFamily::Ca && CaAnalyzer::SetupStatus() != 0;
}

void Devices::CreateAnalyzer() {
  const InstrumentModel& model = ConfiguredInstrument();
  if (model.family == InstrumentFamily::I1)
    i1_ = std::make_unique<EyeOneAnalyzer>(model.driverKind, settings_.Read(setting::kAnalyzerPort),
                                           settings_.Read(setting::kAnalyzerSpeed));
  else if (model.family == InstrumentFamily::Pr)
    pr_ = std::make_unique<Pr655Analyzer>(model.driverKind, settings_.Read(setting::kAnalyzerPort),
                                          settings_.Read(setting::kAnalyzerSpeed), clock_);
}

std::string Devices::CreateCaAnalyzer() {
  if (ca_) return "";
  const InstrumentModel& model = ConfiguredInstrument();
  if (model.family != InstrumentFamily::Ca) return "";
  ca_ = std::make_unique<CaAnalyzer>(
      model.driverKind, settings_.Read(setting::kAnalyzerPort),
      settings_.Read(setting::kAnalyzerSpeed),
      [this](const std::string& text, const std::string& caption, int flags) {
        return dialogs_.MessageBox(text, caption, flags);
      },
      *caServer_);
  return ca_->SetUpFailure();
}

// "RS-232C" exactly: the plain link; any other text: the addressed link.
void Devices::CreateLcd() {
  int kind = 0;
  if (settings_.Read(setting::kMonitorType) == setting::kPlainLink) {
    lcd_ = std::make_unique<LCD>(kind, settings_.Read(setting::kMonitorPort),
                                 settings_.Read(setting::kMonitorSpeed), MakeLinkEnvironment());
  } else {
    kind = 1;
    lcd_ = std::make_unique<LCD>(kind, settings_.Read(setting::kMonitorPort), kAddressedLinkSpeed,
                                 MakeLinkEnvironment());
  }
  lcd_->SetMonitorId(kind, settings_.Read(setting::kMonitorId));
  lcd_->BeginSession();
}

void Devices::Create() {
  try {
    CreateAnalyzer();
    CreateLcd();
  } catch (...) {
    if (!lcd_) UseUnconnectedLink();
    throw;
  }
}

void Devices::Destroy() {
  if (lcd_) lcd_->EndSession();
  lcd_.reset();
  ca_.reset();
  i1_.reset();
  pr_.reset();
}

}  // namespace velluma
