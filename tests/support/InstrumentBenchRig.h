#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/BenchProcess.h"
#include "tests/support/StationRig.h"

namespace velluma::test {

// A station on the bench with the instrument model the test's parameter names ("CA-310",
// "PR-655", "i1-Pro"...): the bench started with the options given and the PR-655's port, the
// CA server module and the EyeOne library (where the test names them) reaching the bench through
// its socket, and the devices open.
class InstrumentBenchRig : public StationRig<::testing::TestWithParam<const char*>> {
 protected:
  void StartBench(std::vector<std::string> options) {
    options.insert(options.end(), {"--pr655-measure-ms", "2", "--pr655-quiet-wake"});
    bench_ = std::make_unique<BenchProcess>(options);
    ::setenv("VELLUMA_BENCH_SOCKET", bench_->SocketPath().c_str(), 1);
#ifdef VELLUMA_CA_SERVER_PATH
    ::setenv("VELLUMA_CA_SERVER", VELLUMA_CA_SERVER_PATH, 1);
#endif
#ifdef VELLUMA_EYEONE_PATH
    ::setenv("VELLUMA_EYEONE", VELLUMA_EYEONE_PATH, 1);
#endif
    UseMonitorPort(bench_->MonitorDevice());
    settings_.WriteStringSetting("AnalizerPort", bench_->Pr655Device());
    settings_.WriteStringSetting("AnalizerModel", GetParam());
    seam_.DeviceSet().UseCaServer(caServer_);
    station_.OpenDevices();
  }
  void TearDown() override {
    StationRig::TearDown();
    for (const char* name : {"VELLUMA_BENCH_SOCKET", "VELLUMA_CA_SERVER", "VELLUMA_EYEONE"}) {
      ::unsetenv(name);
    }
  }

  std::unique_ptr<BenchProcess> bench_;
  CaServer caServer_;
};

}  // namespace velluma::test
