// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor.
#include "calibration/Transfers.h"

namespace velluma {

namespace {
constexpr const char* kCaption = "PC->MONITOR";
}  // namespace

// Primaries, then the grey ramp's Y, x and y; the first refusal ends the transfer.
int Transfers::SendCalibrationData() {
  LCD& link = *devices_.Link();
  const CalibrationData& data = held_.calibration;
  if (int result = link.BeginSession()) return result;
  if (int result = link.WritePrimaries(data.PrimariesPayload())) return result;
  for (int channel = 0; channel < 3; ++channel) {
    if (devices_.Stop().Requested()) return LCD::kStopped;
    if (int result = link.WriteGreyRamp(channel, data.GreyRampPayload(channel))) return result;
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
  if (int result = SendCalibrationData(); result == LCD::kStopped)
    ReportStopped();
  else if (result != 0)
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
void Transfers::ReportTransfer(int result) {
  if (result == LCD::kStopped) return ReportStopped();
  if (result < 0) {
    dialogs_.MessageBox("monitor: " + devices_.Link()->ErrorText(result), kCaption,
                        Dialogs::kError);
    return;
  }
  dialogs_.MessageBox("Complete.", kCaption, Dialogs::kOk);
  status_.SetStatusText(0, "", true);
}

}  // namespace velluma
