#pragma once

#include <string>

#include "colour/Target.h"
#include "colour/Verification.h"

namespace velluma {

// The verification report's three charts, each an inline SVG drawing styled by the classes of
// the report's stylesheet.

// The measured grey ramp's luminance over the target's tone curve, against the signal.
std::string ToneCurveChart(const colour::VerificationFigures& figures,
                           const colour::Target& target);
// ΔE2000 of every patch as bars coloured by verdict, with the greys' and colours' maxima.
std::string DeltaEChart(const colour::VerificationFigures& figures,
                        const colour::Thresholds& thresholds);
// The CIE 1931 xy diagram: the spectral locus, the target gamut's triangle and white, the
// measured primaries' triangle, every measured colour and the measured white.
std::string ChromaticityChart(const colour::VerificationFigures& figures,
                              const colour::Target& target);

}  // namespace velluma
