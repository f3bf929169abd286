// CIEDE2000 colour difference (CIE 142-2001), in the steps and with the conventions of Sharma, Wu
// and Dalal, "The CIEDE2000 color-difference formula: implementation notes, supplementary test
// data, and mathematical observations" (2005): hue angles in degrees in 0..360, a hue of 0 for a
// colour without chroma, the hue difference and the mean hue taken the short way round the
// circle, and for a pair where either chroma is 0, a hue difference of 0 and a mean hue that is
// the plain sum. The parametric factors kL, kC and kH are 1.
#include <cmath>
#include <numbers>

#include "colour/Colour.h"

namespace velluma::colour {
namespace {

constexpr double kPow25To7 = 6103515625.0;  // 25^7

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
double Degrees(double radians) {
  return radians * 180.0 / std::numbers::pi;
}

// C^7 / (C^7 + 25^7): how far a chroma is from neutral, used by G and by RC.
double ChromaWeight(double chroma) {
  const double c7 = std::pow(chroma, 7);
  return c7 / (c7 + kPow25To7);
}

// A colour with a* stretched by (1 + G): its lightness L', chroma C' and hue angle h' (degrees,
// 0..360; 0 when a' and b are both 0, whatever the signs of their zeros).
struct Primed {
  double lightness, chroma, hue;
};

Primed PrimedColour(const Lab& colour, double g) {
  const double a = (1.0 + g) * colour.a;
  double h = 0.0;
  if (a != 0.0 || colour.b != 0.0) {
    h = Degrees(std::atan2(colour.b, a));
    if (h < 0.0) h += 360.0;
  }
  return {colour.lightness, std::hypot(a, colour.b), h};
}

// Δh': the second hue minus the first, the short way round; 0 when either chroma is 0.
double HueDifference(const Primed& first, const Primed& second) {
  if (first.chroma * second.chroma == 0.0) return 0.0;
  const double d = second.hue - first.hue;
  if (d > 180.0) return d - 360.0;
  if (d < -180.0) return d + 360.0;
  return d;
}

// h̄': the mean hue, the short way round; the sum when either chroma is 0.
double MeanHue(const Primed& first, const Primed& second) {
  const double sum = first.hue + second.hue;
  if (first.chroma * second.chroma == 0.0) return sum;
  if (std::abs(first.hue - second.hue) <= 180.0) return sum / 2.0;
  if (sum < 360.0) return (sum + 360.0) / 2.0;
  return (sum - 360.0) / 2.0;
}

// T: the hue dependence of the hue weighting SH.
double HueWeightT(double meanHue) {
  return 1.0 - 0.17 * std::cos(Radians(meanHue - 30.0)) + 0.24 * std::cos(Radians(2.0 * meanHue)) +
         0.32 * std::cos(Radians(3.0 * meanHue + 6.0)) -
         0.20 * std::cos(Radians(4.0 * meanHue - 63.0));
}

// RT: the rotation term that couples chroma and hue differences in the blue region.
double RotationTerm(double meanChroma, double meanHue) {
  const double x = (meanHue - 275.0) / 25.0;
  const double deltaTheta = 30.0 * std::exp(-x * x);
  const double rc = 2.0 * std::sqrt(ChromaWeight(meanChroma));
  return -std::sin(Radians(2.0 * deltaTheta)) * rc;
}

}  // namespace

double DeltaE2000(const Lab& first, const Lab& second) {
  const double meanChroma = (std::hypot(first.a, first.b) + std::hypot(second.a, second.b)) / 2.0;
  const double g = 0.5 * (1.0 - std::sqrt(ChromaWeight(meanChroma)));
  const Primed p1 = PrimedColour(first, g);
  const Primed p2 = PrimedColour(second, g);

  const double dL = p2.lightness - p1.lightness;
  const double dC = p2.chroma - p1.chroma;
  const double dH =
      2.0 * std::sqrt(p1.chroma * p2.chroma) * std::sin(Radians(HueDifference(p1, p2) / 2.0));

  const double meanL = (p1.lightness + p2.lightness) / 2.0;
  const double meanC = (p1.chroma + p2.chroma) / 2.0;
  const double meanH = MeanHue(p1, p2);
  const double l50 = (meanL - 50.0) * (meanL - 50.0);
  const double sl = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
  const double sc = 1.0 + 0.045 * meanC;
  const double sh = 1.0 + 0.015 * meanC * HueWeightT(meanH);

  const double lightness = dL / sl;
  const double chroma = dC / sc;
  const double hue = dH / sh;
  return std::sqrt(lightness * lightness + chroma * chroma + hue * hue +
                   RotationTerm(meanC, meanH) * chroma * hue);
}

}  // namespace velluma::colour
