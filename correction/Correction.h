#pragma once

#include <string>
#include <vector>

#include "colour/Target.h"
#include "colour/Verification.h"
#include "lut/MonitorLut.h"

namespace velluma::correction {

// The patches a correction measures while the memory holds the identity LUT and the linear
// film-gamma table, in the order they are measured. Some drives come more than once: their
// readings are averaged.
std::vector<colour::PatchReading> CorrectionPatches();

// The LUT that leaves every colour as it is: node k of each axis holds the code of k/15.
MonitorLutTable IdentityLut();

// What a correction found and made: the LUT that brings the panel to the target, and what the
// panel can show of it.
struct Correction {
  MonitorLutTable lut{};
  double whiteY = 0;  // the luminance of the corrected white (cd/m² at the measured backlight)
  double blackY = 0;  // the panel's black
  // The native primaries the panel showed (for the report).
  colour::Chromaticity red, green, blue;

  // Whether the panel can show the target's colour of drive r, g, b (0..255 each) at the
  // corrected white: a colour outside the panel's gamut is mapped, not shown.
  bool CanShow(int r, int g, int b) const;

  // The panel's light per channel at full drive (XYZ, black excluded) and its black, for CanShow.
  colour::Xyz channelLight[3];
  colour::Xyz blackLight;
  colour::Target target;
};

// Models the panel from `readings` (the patches of CorrectionPatches, as measured, in any order)
// and builds the LUT that brings it to `target`: the target's white point at the brightest
// luminance the panel reaches with it, the target's tone curve, the target's gamut where the
// panel reaches it. std::invalid_argument saying what is wrong when the readings cannot describe
// a panel (a patch missing, a channel that gives no light, a white no brighter than black).
Correction BuildCorrection(const std::vector<colour::PatchReading>& readings,
                           const colour::Target& target);

}  // namespace velluma::correction
