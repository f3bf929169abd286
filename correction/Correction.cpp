#include "correction/Correction.h"

#include <cmath>

namespace velluma::correction {

std::vector<colour::PatchReading> CorrectionPatches() {
  std::vector<colour::PatchReading> patches;
  for (int level = 0; level <= 255; level += 51) {
    patches.push_back({"grey " + std::to_string(level), level, level, level});
  }
  return patches;
}

MonitorLutTable IdentityLut() {
  MonitorLutTable lut{};
  for (int b = 0; b < kMonitorGridPoints; ++b) {
    for (int g = 0; g < kMonitorGridPoints; ++g) {
      for (int r = 0; r < kMonitorGridPoints; ++r) {
        const int entry = MonitorEntryRedFastest(r, g, b);
        const int nodes[3] = {r, g, b};
        for (int channel = 0; channel < kMonitorLutChannels; ++channel) {
          lut[channel][entry] =
              static_cast<std::int32_t>(std::lround(MonitorGridInput(nodes[channel]) * kMonitorCodeMax));
        }
      }
    }
  }
  return lut;
}

bool Correction::CanShow(int, int, int) const { return true; }

// A first version that only returns the identity; the panel model replaces it.
Correction BuildCorrection(const std::vector<colour::PatchReading>&, const colour::Target& target) {
  Correction correction;
  correction.lut = IdentityLut();
  correction.target = target;
  return correction;
}

}  // namespace velluma::correction
