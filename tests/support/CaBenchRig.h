#pragma once

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/BenchProcess.h"
#include "tests/support/ScriptedCaServer.h"
#include "tests/support/StationRig.h"

namespace velluma::test {

// Measurement indexes of an AUTO run: white, black, R, G, B, grey 0..255, the final black.
constexpr int kAutoWhite = 0, kAutoGrey0 = 5;
// ... and of a sequence alone: R, G, B, grey 0..255.
constexpr int kSequenceGrey0 = 3;

// The station measuring in virtual time with a scripted CA-310 and the bench's monitor: every
// reading is a display that passes (D65 greys, white 250 cd/m2) unless `reading` changes it, and
// the reading at `failAt` is refused with the CA's PROBE ERROR.
class CaBenchRig : public StationRig<> {
 protected:
  void SetUp() override {
    StationRig::SetUp();
    UseMonitorPort(bench_.MonitorDevice());
    settings_.WriteStringSetting("AnalizerModel", "CA-310");
    seam_.DeviceSet().UseCaServer(caServer_);
    station_.OpenDevices();
    seam_.DeviceSet().CreateCaAnalyzer();
    script_.onMeasure = [this](int index, CaScript& s) { return Reading(index, s); };
  }

  std::int32_t Reading(int index, CaScript& s) {
    s.sx = 0.3127f;
    s.sy = 0.3290f;
    s.lv = 250.0f;
    if (reading_) reading_(index, s);
    return failAt_ == index ? 412 : 0;
  }

  std::vector<std::string> BenchValues(const std::string& key) {
    std::istringstream in(bench_.State()[key]);
    std::vector<std::string> values;
    for (std::string v; in >> v;) values.push_back(v);
    return values;
  }

  BenchProcess bench_{{"--reply-delay", "10"}};
  CaScript script_;
  CaServer caServer_{MakeScriptedCaServer(script_)};
  std::function<void(int, CaScript&)> reading_;
  int failAt_ = -1;
};

}  // namespace velluma::test
