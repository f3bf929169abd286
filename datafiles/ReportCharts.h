#pragma once

#include <string>

#include "colour/Target.h"
#include "colour/Verification.h"

namespace velluma {

// The verification report's three charts, each an inline SVG drawing styled by the classes of
// the report's stylesheet.

// The measured grey ramp's luminance over the target's tone curve, against the signal. With
// `before` (a correction's verification through the identity), its greys too, as a second curve.
std::string ToneCurveChart(const colour::VerificationFigures& figures,
                           const colour::Target& target,
                           const colour::VerificationFigures* before = nullptr);
// ΔE2000 of every patch as bars coloured by verdict, with the greys' and colours' maxima. With
// `before`, each patch's ΔE2000 before the correction as a grey bar beside it.
std::string DeltaEChart(const colour::VerificationFigures& figures,
                        const colour::Thresholds& thresholds,
                        const colour::VerificationFigures* before = nullptr);
// The CIE 1931 xy diagram: the spectral locus, the target gamut's triangle and white, the
// measured primaries' triangle, every measured colour and the measured white.
std::string ChromaticityChart(const colour::VerificationFigures& figures,
                              const colour::Target& target);

}  // namespace velluma
