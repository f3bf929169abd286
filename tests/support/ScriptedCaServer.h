#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/CaServerInterface.h"

namespace velluma::test {

// A CA-SDK server object model in the test's hands: one instrument, one probe; every call is
// recorded as a line ("SetConfiguration 1 1 3 9600", "Ca.36 1", "Memory.1 4", …) and the
// results are set by the test.
struct CaScript {
  std::vector<std::string> calls;
  std::int32_t casResult = 0;      // get_Cas
  bool noCollection = false;       // get_Cas succeeds without a collection
  std::int32_t zeroResult = 0;     // entry 22
  std::int32_t measureResult = 0;  // entry 23
  std::int32_t remoteResult = 0;   // entry 36 (never examined)
  std::int32_t sxResult = 0;
  float sx = 0.3127f, sy = 0.3290f, lv = 250.5f;  // what get_sx, get_sy and get_Lv give
  int liveObjects = 0;  // objects handed out and not yet released
  // Called at each measurement (entry 23) with its index from 0: sets sx, sy, lv and returns the
  // result; without it the measurement returns measureResult.
  std::function<std::int32_t(int index, CaScript& script)> onMeasure;
  int measurements = 0;
};

// The server object over a script; the script outlives it.
ca200::ICa200* MakeScriptedCaServer(CaScript& script);

}  // namespace velluma::test
