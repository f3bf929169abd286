#pragma once

#include <optional>
#include <string>
#include <vector>

#include "colour/Colour.h"
#include "colour/Target.h"

namespace velluma::colour {

// One patch of a verification run as the instrument measured it.
struct PatchReading {
  std::string name;  // "grey 128", "white", "black", "red", "green", "blue", "cyan", ...
  int r = 0, g = 0, b = 0;
  double x = 0, y = 0, Y = 0;  // as measured (the analyzer offsets already added)
  // The display cannot show this patch's target colour (it lies outside what the display can
  // reach): its ΔE2000 is reported, but left out of the verdict of its kind.
  bool outOfReach = false;
  bool IsGrey() const { return r == g && g == b; }
};

// What was found for one patch.
struct PatchFigures {
  PatchReading reading;
  Xyz measured;
  Lab lab;                      // relative to the target white at the measured white's luminance
  Lab targetLab;                // the target colour, relative to the same white
  double deltaE = 0;            // CIEDE2000 of lab and targetLab
  std::optional<double> gamma;  // grey steps between black and white only
  bool passes = true;  // deltaE within the threshold of its kind (greys: maximum; colours: maximum)
};

// Verdict thresholds a user may set.
struct Thresholds {
  double greyAverage = 1.0;
  double greyMaximum = 2.0;
  double colourAverage = 3.0;
  double colourMaximum = 5.0;
};

// The summary of one kind of patch (greys or colours). A kind measured in part has figures but
// no verdict, and a kind not measured at all has neither: neither passes. A kind the run did not
// plan has nothing that could fail.
struct Verdict {
  double average = 0, maximum = 0;  // of the patches measured; 0 when none was
  int count = 0;                    // the patches of this kind measured and judged
  int planned = 0;                  // the patches of this kind in the run that are judged
  int outOfReach = 0;               // the measured patches of this kind left out as out of reach
  bool passes = true;  // every planned patch measured, average and maximum within thresholds

  bool Measured() const { return count > 0; }
  bool Complete() const { return count > 0 && count >= planned; }
};

// The figures of a whole run: per patch and in summary.
struct VerificationFigures {
  std::vector<PatchFigures> patches;  // in the order measured
  Verdict greys, colours;
  double whiteY = 0, blackY = 0;
  double contrast = 0;  // whiteY / blackY (0 when black is 0, or white and black are one patch)
  ColourTemperature whiteTemperature;
  Chromaticity whiteChromaticity;
  // Both kinds pass; a run that measured nothing does not.
  bool Passes() const { return !patches.empty() && greys.passes && colours.passes; }
};

// Evaluates what was measured against the target. The white is the patch 255,255,255 and the
// black 0,0,0 when measured; otherwise the brightest and the darkest grey. `planned` is every
// patch of the run, measured or not (a run that stopped measured only the first of them); a kind
// gets a verdict only when all its planned patches were measured.
VerificationFigures Evaluate(const std::vector<PatchReading>& readings,
                             const std::vector<PatchReading>& planned, const Target& target,
                             const Thresholds& thresholds);
// The same for a run that measured every patch it planned.
VerificationFigures Evaluate(const std::vector<PatchReading>& readings, const Target& target,
                             const Thresholds& thresholds);

}  // namespace velluma::colour
