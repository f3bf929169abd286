// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor.
#include "calibration/Station.h"

namespace velluma {

namespace {
constexpr const char* kCaption = "PC->MONITOR";
}  // namespace

// Primaries, then the grey ramp's Y, x and y; the first refusal ends the transfer.
int Station::SendCalibrationData() {
  if (int result = Lcd->BeginSession()) return result;
  if (int result = Lcd->WritePrimaries(CalibrationData.PrimariesPayload())) return result;
  for (int channel = 0; channel < 3; ++channel)
    if (int result = Lcd->WriteGreyRamp(channel, CalibrationData.GreyRampPayload(channel)))
      return result;
  return Lcd->EndSession();
}

void Station::DownloadButtonClick() {
  ProcedureScope procedure(*this);
  op.LockControls();
  if (CalibrationDataReady == 0) {
    op.MessageBox("NOT FILE LOAD", kCaption, Operator::kError);
    return op.UnlockControls();
  }
  op.SetStatusText(0, kCaption, true);
  if (int result = SendCalibrationData(); result != 0)
    op.MessageBox("Monitor: " + Lcd->ErrorText(result), kCaption, Operator::kError);
  else
    op.MessageBox("Complete.", kCaption, Operator::kOk);
  op.SetStatusText(0, "", false);
  op.UnlockControls();
}

void Station::LUTStartButtonClick() {
  ProcedureScope procedure(*this);
  op.LockControls();
  op.SetStatusText(0, kCaption, true);
  const int memory = op.LutMemory();
  if (LutLoaded[memory] == 0) {
    op.MessageBox("NOT FILE LOAD", kCaption, Operator::kError);
    return op.UnlockControls();
  }
  ReportTransfer(Lcd->WriteLut(memory, Tables.LutTables[memory]));
  op.UnlockControls();
}

void Station::FilmGammaStartButtonClick() {
  ProcedureScope procedure(*this);
  op.LockControls();
  const int memory = op.FilmGammaMemory();
  if (FilmGammaLoaded[memory] == 0) {
    op.MessageBox("NOT FILE LOAD", kCaption, Operator::kError);
    return op.UnlockControls();
  }
  op.SetStatusText(0, kCaption, true);
  ReportTransfer(Lcd->WriteFilmGamma(memory, Tables.FilmGammaTables[memory]));
  op.UnlockControls();
}

// After a LUT or film-gamma transfer: a failure keeps "PC->MONITOR" in panel 0.
void Station::ReportTransfer(int result) {
  if (result < 0) {
    op.MessageBox("monitor: " + Lcd->ErrorText(result), kCaption, Operator::kError);
    return;
  }
  op.MessageBox("Complete.", kCaption, Operator::kOk);
  op.SetStatusText(0, "", true);
}

}  // namespace velluma
