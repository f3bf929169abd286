#pragma once

#include <gtest/gtest.h>

#include <string>

#include "calibration/Station.h"
#include "tests/support/ScriptedOperator.h"
#include "tests/support/StationSeam.h"
#include "tests/support/TempDir.h"

namespace velluma::test {

// What every station test starts from: a temporary folder with a settings file holding the
// defaults, a virtual clock, a scripted operator and the station on them. The devices end at
// TearDown, before the test's own members (a bench, a scripted CA server) go. `Base` is the
// gtest fixture kind (::testing::Test, or ::testing::TestWithParam<...>).
template <typename Base = ::testing::Test>
class StationRig : public Base {
 protected:
  void SetUp() override { settings_.LoadSettings(setting::kAll); }
  void TearDown() override { station_.CloseDevices(); }

  // The monitor link on `port` (a bench's or a peer's device path).
  void UseMonitorPort(const std::string& port) { settings_.Write(setting::kMonitorPort, port); }

  TempDir dir_;
  SettingsStore settings_{dir_.File("Velluma.reg")};
  VirtualClock clock_;
  ScriptedOperator op_;
  Station station_{op_, settings_, clock_};
  StationSeam seam_{station_};
};

}  // namespace velluma::test
