#pragma once

#include <memory>

#include "calibration/Dialogs.h"
#include "calibration/StationSettings.h"
#include "calibration/StopCondition.h"
#include "instruments/AnalyzerFront.h"
#include "instruments/CaAnalyzer.h"
#include "instruments/EyeOneAnalyzer.h"
#include "instruments/InstrumentModel.h"
#include "instruments/Pr655Analyzer.h"
#include "monitor/LCD.h"
#include "platform/CaServer.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

namespace velluma {

// The devices of the run: the monitor link and the driver of the configured instrument, made
// from the settings at start-up and again after the settings dialog, and the analyzer front
// that measures through whichever driver the model names.
class Devices {
 public:
  Devices(SettingsStore& settings, Clock& clock, Dialogs& dialogs);
  ~Devices();
  Devices(const Devices&) = delete;
  Devices& operator=(const Devices&) = delete;

  // The driver of the configured instrument (the i1-Pro and the PR-655 now; a CA-210 or CA-310
  // on its first use), then the monitor link on the configured port. A setting that cannot be
  // read escapes as RegistryError, leaving a link without a port.
  void Create();
  // Ends the monitor session and deletes every device object.
  void Destroy();
  // The CA-210 (kind 1) or CA-310 (kind 2) driver, when the model is one and there is none yet.
  // Returns the box its set-up showed when it found no instrument, "" otherwise.
  std::string CreateCaAnalyzer();

  // The instrument the "AnalizerModel" setting names now.
  const InstrumentModel& ConfiguredInstrument() const;
  // A CA driver that found no instrument when it was set up (it has told the operator).
  bool CaSetUpFailed() const;
  // What the operator must know about the ports just opened: one refused to this user (the group
  // that may use it), one in use by another run, a monitor sent back to 9600 from the speed a
  // killed run left it at; "; " between them, empty when there is nothing to say.
  std::string PortNotices() const;
  // The ports in use by another run, as PortNotices says them; empty when none is.
  std::string BusyPorts() const;

  // Asked by the transfers and measurements between their steps.
  StopCondition& Stop() { return stop_; }
  // While true, a stop asked from outside lets a film-gamma or LUT transfer in flight run to its
  // last frame, so that the memory holds a whole table; the procedure stops after it.
  void FinishTablesBeforeStopping(bool finish) { finishTables_ = finish; }

  // The monitor link; none between Destroy and the next Create.
  LCD* Link() { return lcd_.get(); }
  AnalyzerFront& Front() { return front_; }
  CaAnalyzer* Ca() { return ca_.get(); }
  EyeOneAnalyzer* I1() { return i1_.get(); }
  Pr655Analyzer* Pr() { return pr_.get(); }

  // The CA-SDK server the CA driver is made on: the process's own unless a test gives another.
  void UseCaServer(CaServer& server) { caServer_ = &server; }

 private:
  LinkEnvironment MakeLinkEnvironment();
  void UseUnconnectedLink();
  void CreateAnalyzer();
  void CreateLcd();

  SettingsStore& settings_;
  Clock& clock_;
  Dialogs& dialogs_;  // the CA driver's own boxes
  CaServer* caServer_ = &CaServer::Process();
  std::unique_ptr<LCD> lcd_;  // without a port every exchange fails; none after Destroy
  std::unique_ptr<CaAnalyzer> ca_;
  std::unique_ptr<EyeOneAnalyzer> i1_;
  std::unique_ptr<Pr655Analyzer> pr_;
  AnalyzerFront front_;
  StopCondition stop_;
  bool finishTables_ = false;
};

}  // namespace velluma
