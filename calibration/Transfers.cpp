// PC -> MONITOR and the two Start buttons: what the program holds, sent into the monitor.
#include "calibration/Transfers.h"

namespace velluma {

namespace {
constexpr const char* kCaption = "PC->MONITOR";
constexpr const char* kNotLoaded = "NOT FILE LOAD";
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

ProcedureResult Transfers::Failure(const std::string& text) {
  dialogs_.MessageBox(text, kCaption, Dialogs::kError);
  return ProcedureResult::Ended(ProcedureOutcome::Failed, text);
}

ProcedureResult Transfers::Complete() {
  dialogs_.MessageBox("Complete.", kCaption, Dialogs::kOk);
  return ProcedureResult::Ended(ProcedureOutcome::Done, "Complete.");
}

// A transfer stopped from outside has no box to show: the operator who stopped it reads why on
// the message line, and that the monitor holds part of it.
ProcedureResult Transfers::ReportStopped() {
  status_.ShowMessageLine(std::string(kCaption) + " stopped by " + devices_.Stop().Reason() +
                          ": the transfer is incomplete; send it again");
  return ProcedureResult::Ended(ProcedureOutcome::Failed, "");
}

ProcedureResult Transfers::SendCalibration() {
  status_.LockControls();
  if (!held_.calibrationReady) {
    ProcedureResult refused = Failure(kNotLoaded);
    status_.UnlockControls();
    return refused;
  }
  status_.SetStatusText(0, kCaption, true);
  ProcedureResult result;
  if (const LinkResult sent = SendCalibrationData(); sent == LinkResult::Stopped)
    result = ReportStopped();
  else if (sent != LinkResult::Ok)
    result = Failure("Monitor: " + devices_.Link()->ErrorText(sent));
  else
    result = Complete();
  status_.SetStatusText(0, "", false);
  status_.UnlockControls();
  return result;
}

ProcedureResult Transfers::SendLut(int memory) {
  status_.LockControls();
  status_.SetStatusText(0, kCaption, true);
  if (!held_.lutLoaded[memory]) {
    ProcedureResult refused = Failure(kNotLoaded);
    status_.UnlockControls();
    return refused;
  }
  LCD& link = *devices_.Link();
  ProcedureResult result = ReportTransfer(link.WriteLut(memory, held_.tables.lutTables[memory]));
  // "NACK" stands for a refused chunk and for a silent monitor alike.
  result.cause = link.LutFailure();
  status_.UnlockControls();
  return result;
}

ProcedureResult Transfers::SendFilmGamma(int memory) {
  status_.LockControls();
  if (!held_.filmGammaLoaded[memory]) {
    ProcedureResult refused = Failure(kNotLoaded);
    status_.UnlockControls();
    return refused;
  }
  status_.SetStatusText(0, kCaption, true);
  ProcedureResult result =
      ReportTransfer(devices_.Link()->WriteFilmGamma(memory, held_.tables.filmGammaTables[memory]));
  status_.UnlockControls();
  return result;
}

// After a LUT or film-gamma transfer: a failure keeps "PC->MONITOR" in panel 0.
ProcedureResult Transfers::ReportTransfer(LinkResult result) {
  if (result == LinkResult::Stopped) return ReportStopped();
  if (result != LinkResult::Ok) return Failure("monitor: " + devices_.Link()->ErrorText(result));
  ProcedureResult complete = Complete();
  status_.SetStatusText(0, "", true);
  return complete;
}

}  // namespace velluma
