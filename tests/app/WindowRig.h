#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/TonwickUnit.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "tests/support/BenchProcess.h"
#include "tests/support/TempDir.h"

namespace velluma::test {

// The main window as its tests and pictures start it: on a settings file in a scratch folder of
// its own (the monitor's port names nothing there until a bench is given), with a scaled clock,
// and every message box kept and answered from `answers` (OK when it is empty). Free of any test
// framework.
class WindowRig {
 public:
  struct Box {
    std::string text, caption;
    int flags;
  };

  explicit WindowRig(double clockScale = 0.01);
  ~WindowRig();
  WindowRig(const WindowRig&) = delete;
  WindowRig& operator=(const WindowRig&) = delete;

  // A window made and started (FormCreate) on the settings as they are now.
  std::unique_ptr<TTonwickForm> Start();
  // The texts of the boxes shown so far.
  std::vector<std::string> BoxTexts() const;

  // The monitor on `bench`'s COM1, measured with a CA-310 through the bench's CA server module:
  // the settings, and the variables a run reads, for as long as this rig lives.
  void MeasureThrough(const BenchProcess& bench);
  // A history file in the scratch folder with five weeks of sample runs; its location.
  std::string SampleHistoryFile() const;

  TempDir dir;
  SettingsStore settings{dir.File("Velluma.reg")};
  ScaledClock clock;
  std::vector<Box> boxes;
  std::vector<int> answers;

 private:
  bool measuresThroughBench_ = false;
};

// The rig with a bench of its own, started with `benchOptions`, the monitor on its COM1.
class BenchWindowRig : public WindowRig {
 public:
  explicit BenchWindowRig(std::vector<std::string> benchOptions = {}, double clockScale = 0.01);

  BenchProcess bench;
};

}  // namespace velluma::test
