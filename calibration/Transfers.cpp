// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor.
#include "calibration/Transfers.h"

namespace velluma {

namespace {
constexpr const char* kCaption = "PC->MONITOR";
}  // namespace

// Primaries, then the grey ramp's Y, x and y; the first refusal ends the transfer.
LinkResult Transfers::SendCalibrationData() {
  LCD& link = *devices_.Link();
  const CalibrationData& data = held_.calibration;
  if (const LinkResult begun = link.BeginSession(); begun != LinkResult::Ok) return begun;
  const LinkResult primaries = link.WritePrimaries(data.PrimariesPayload());
  if (primaries != LinkResult::Ok) return primaries;
  for (int channel = 0; channel < 3; ++channel) {
    if (devices_.Stop().Requested()) return LinkResult::Stopped;
    const LinkResult ramp = link.WriteGreyRamp(channel, data.GreyRampPayload(channel));
    if (ramp != LinkResult::Ok) return ramp;
  }
  return link.EndSession();
}

// A transfer stopped from outside has no box to show: the operator who stopped it reads why on
// the message line, and that the monitor holds part of it.
void Transfers::ReportStopped() {
  status_.ShowMessageLine(std::string(kCaption) + " stopped by " + devices_.Stop().Reason() +
                          ": the transfer is incomplete; send it again");
}

void Transfers::SendCalibration() {
  status_.LockControls();
  if (!held_.calibrationReady) {
    dialogs_.MessageBox("NOT FILE LOAD", kCaption, Dialogs::kError);
    return status_.UnlockControls();
  }
  status_.SetStatusText(0, kCaption, true);
  if (const LinkResult result = SendCalibrationData(); result == LinkResult::Stopped)
    ReportStopped();
  else if (result != LinkResult::Ok)
    dialogs_.MessageBox("Monitor: " + devices_.Link()->ErrorText(result), kCaption,
                        Dialogs::kError);
  else
    dialogs_.MessageBox("Complete.", kCaption, Dialogs::kOk);
  status_.SetStatusText(0, "", false);
  status_.UnlockControls();
}

void Transfers::SendLut() {
  status_.LockControls();
  status_.SetStatusText(0, kCaption, true);
  const int memory = views_.LutMemory();
  if (!held_.lutLoaded[memory]) {
    dialogs_.MessageBox("NOT FILE LOAD", kCaption, Dialogs::kError);
    return status_.UnlockControls();
  }
  ReportTransfer(devices_.Link()->WriteLut(memory, held_.tables.LutTables[memory]));
  status_.UnlockControls();
}

void Transfers::SendFilmGamma() {
  status_.LockControls();
  const int memory = views_.FilmGammaMemory();
  if (!held_.filmGammaLoaded[memory]) {
    dialogs_.MessageBox("NOT FILE LOAD", kCaption, Dialogs::kError);
    return status_.UnlockControls();
  }
  status_.SetStatusText(0, kCaption, true);
  ReportTransfer(devices_.Link()->WriteFilmGamma(memory, held_.tables.FilmGammaTables[memory]));
  status_.UnlockControls();
}

// After a LUT or film-gamma transfer: a failure keeps "PC->MONITOR" in panel 0.
void Transfers::ReportTransfer(LinkResult result) {
  if (result == LinkResult::Stopped) return ReportStopped();
  if (result != LinkResult::Ok) {
    dialogs_.MessageBox("monitor: " + devices_.Link()->ErrorText(result), kCaption,
                        Dialogs::kError);
    return;
  }
  dialogs_.MessageBox("Complete.", kCaption, Dialogs::kOk);
  status_.SetStatusText(0, "", true);
}

}  // namespace velluma
