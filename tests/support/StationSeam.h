#pragma once

#include "calibration/Station.h"

namespace velluma::test {

// What the tests reach inside a station: the collaborators its procedures are made of, to drive
// one step alone (a patch, the sequence, a file read) or look at the devices, and the data it
// holds, to put in place what a loaded file would.
class StationSeam {
 public:
  // A procedure running for as long as it lives, as the station's own procedures run.
  using RunningProcedure = Station::ProcedureScope;

  explicit StationSeam(Station& station) : station_(station) {}

  Devices& DeviceSet() { return station_.devices_; }
  LCD* Link() { return station_.devices_.Link(); }
  InstrumentPreparation& Preparation() { return station_.preparation_; }
  MeasurementRun& Measurement() { return station_.measurement_; }
  TableFiles& Files() { return station_.files_; }

  // Data to send, held as if a file had been loaded (from no file).
  void HoldCalibrationData(const CalibrationData& data) {
    station_.held_.calibration = data;
    station_.held_.calibrationReady = true;
    station_.held_.calibrationSource.clear();
  }
  void HoldLut(int memory, const UserMemoryTables::LutTable& table) {
    station_.held_.tables.lutTables.at(memory) = table;
    station_.held_.lutLoaded.at(memory) = true;
    station_.held_.lutSource.at(memory).clear();
  }
  void HoldFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table) {
    station_.held_.tables.filmGammaTables.at(memory) = table;
    station_.held_.filmGammaLoaded.at(memory) = true;
    station_.held_.filmGammaSource.at(memory).clear();
  }

 private:
  Station& station_;
};

}  // namespace velluma::test
