#pragma once

#include <string>
#include <string_view>

#include "colour/Colour.h"

namespace velluma::colour {

// The tone curve a display should follow, from signal (0..1) to relative luminance.
enum class ToneCurve {
  Power22,  // L = V^2.2
  Power24,  // L = V^2.4
  Bt1886,   // ITU-R BT.1886 with the display's measured white and black luminance
};

// Primaries a display should show.
struct Gamut {
  std::string_view name;
  Chromaticity red, green, blue;
};
extern const Gamut kRec709;
extern const Gamut kDciP3;  // DCI-P3 primaries (the white is the target's, not DCI's)

inline constexpr Chromaticity kD65{0.3127, 0.3290};

// What a calibrated display is compared with. The target white's luminance is the display's
// measured white, its black the measured black (used by BT.1886 and for contrast).
struct Target {
  Chromaticity white = kD65;
  ToneCurve curve = ToneCurve::Power22;
  const Gamut* gamut = &kRec709;  // Rec. 709 when none is named

  const Gamut& Primaries() const { return gamut ? *gamut : kRec709; }
};

// The luminance the target gives a signal (0..1), for a display whose white measures `whiteY`
// and black `blackY`: the power curves span 0..whiteY, BT.1886 spans blackY..whiteY.
double TargetLuminance(ToneCurve curve, double signal, double whiteY, double blackY);
// The colour the target gives the drive r, g, b (0..255 each): the gamut's primaries and the
// target white, encoded with the tone curve per channel, scaled to the measured white.
Xyz TargetColour(const Target& target, int r, int g, int b, double whiteY, double blackY);

// The same for many drives: the gamut's RGB → XYZ matrix (the primaries at the luminances that
// add up to the target white) is made once, when the object is made. Primaries on one line have
// no such matrix: their colours are not numbers (NaN).
class TargetColours {
 public:
  TargetColours(const Target& target, double whiteY, double blackY);
  Xyz Of(int r, int g, int b) const;

 private:
  double rgbToXyz_[3][3];  // rows X, Y, Z; columns red, green, blue; white at Y = 1
  ToneCurve curve_;
  double whiteY_, blackY_;  // cd/m², as measured
};

// The gamma a grey step shows: log(relative luminance) / log(signal), with the black level
// taken off (relative luminance = (Y - blackY) / (whiteY - blackY)); none (NaN) for signal 0 or 1.
double PointGamma(double signal, double Y, double whiteY, double blackY);

// The names of the tone curves, the gamuts and the named white points, as the settings and the
// command line write them and offer them.
inline constexpr std::string_view kToneCurveNames[] = {"2.2", "2.4", "BT.1886"};
inline constexpr std::string_view kGamutNames[] = {"Rec.709", "DCI-P3"};
inline constexpr std::string_view kWhitePointNames[] = {"D65"};

// Names as settings and the command line write them: "2.2", "2.4", "BT.1886"; "Rec.709",
// "DCI-P3"; the white as "D65" or "x,y" of a real colour (inside the spectral locus).
// False for a text that names none.
bool ParseToneCurve(std::string_view text, ToneCurve& curve);
bool ParseGamut(std::string_view text, const Gamut*& gamut);
bool ParseWhitePoint(std::string_view text, Chromaticity& white);
// "x,y" as two decimal numbers, whatever their values; false for any other text.
bool ParseXy(std::string_view text, Chromaticity& xy);
std::string ToneCurveName(ToneCurve curve);

}  // namespace velluma::colour
