#pragma once

#include <memory>
#include <string>
#include <vector>

#include "colour/Target.h"
#include "colour/Verification.h"
#include "correction/PanelModel.h"
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
  // corrected white, within a CIEDE2000 of 1: a colour outside the panel's gamut is mapped, not
  // shown.
  bool CanShow(int r, int g, int b) const;

  std::shared_ptr<const PanelModel> panel;  // the model the table was built from
  colour::Target target;
};

// Models the panel from `readings` (the patches of CorrectionPatches, as measured, in any order)
// and builds the LUT that brings it to `target`: the target's white point at the brightest
// luminance the panel reaches with it, the target's tone curve, the target's gamut where the
// panel reaches it (a colour beyond it keeps its lightness and hue and gives up chroma). Black
// stays the panel's own, the deepest it has: lifting it to neutralise its tint would cost
// contrast, and at its lightness the tint is all but invisible. Each node holds the drives that
// show its colour; the grey diagonal is then fitted so that the greys between the nodes follow
// the target too. std::invalid_argument saying what is wrong when the readings cannot describe
// a panel (a patch missing, a reading that is not a light, a channel that gives no light, a
// white no brighter than black).
Correction BuildCorrection(const std::vector<colour::PatchReading>& readings,
                           const colour::Target& target);

}  // namespace velluma::correction
