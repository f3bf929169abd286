#pragma once

#include <array>
#include <vector>

#include "colour/Colour.h"

namespace velluma::colour {

// The CIE 1931 2° standard colorimetric observer: the colour-matching functions x̄, ȳ, z̄ of
// CIE 15's table at 1 nm, every fifth row, from 360 nm to 830 nm (the whole range: a table cut
// at 380–780 nm moves the Planckian locus enough to shift a CCT by over 1 K).
struct ColourMatching {
  double x = 0, y = 0, z = 0;
};
inline constexpr int kObserverFirstNm = 360;
inline constexpr int kObserverStepNm = 5;
inline constexpr int kObserverCount = 95;  // 360, 365, ..., 830 nm
extern const std::array<ColourMatching, kObserverCount> kCie1931Observer;

// The chromaticities of the spectral colours from 380 nm to 700 nm at 5 nm, the outline of the
// xy diagram's horseshoe (outside that range the points lie on top of each other).
inline constexpr int kSpectralLocusFirstNm = 380;
inline constexpr int kSpectralLocusLastNm = 700;
std::vector<Chromaticity> SpectralLocus();
// Whether a colour can have the chromaticity `c`: inside the horseshoe that the spectral locus
// and the line of purples between its ends enclose (a point on the outline is outside).
bool InsideSpectralLocus(Chromaticity c);

}  // namespace velluma::colour
