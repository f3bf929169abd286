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
  bool grey() const { return r == g && g == b; }
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

struct Verdict {
  double average = 0, maximum = 0;
  int count = 0;
  bool passes = true;  // average and maximum within their thresholds (true when count is 0)
};

// The figures of a whole run: per patch and in summary.
struct VerificationFigures {
  std::vector<PatchFigures> patches;  // in the order measured
  Verdict greys, colours;
  double whiteY = 0, blackY = 0;
  double contrast = 0;  // whiteY / blackY (0 when black is 0, or white and black are one patch)
  ColourTemperature whiteTemperature;
  Chromaticity whiteChromaticity;
  bool passes() const { return greys.passes && colours.passes; }
};

// Evaluates what was measured against the target. The white is the patch 255,255,255 and the
// black 0,0,0 when measured; otherwise the brightest and the darkest grey.
VerificationFigures Evaluate(const std::vector<PatchReading>& readings, const Target& target,
                             const Thresholds& thresholds);

}  // namespace velluma::colour
