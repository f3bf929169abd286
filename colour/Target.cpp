// What a calibrated display should show: the tone curves, the gamuts and the colours a target
// gives each drive.
#include "colour/Target.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velluma::colour {

const Gamut kRec709{kGamutNames[0], {0.640, 0.330}, {0.300, 0.600}, {0.150, 0.060}};
const Gamut kDciP3{kGamutNames[1], {0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}};

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDriveMax = 255.0;
constexpr double kBt1886Gamma = 2.4;

// A signal held to 0..1; NaN counts as 0.
double ClampSignal(double v) {
  if (!(v > 0.0)) return 0.0;
  return std::min(v, 1.0);
}

// ITU-R BT.1886: L = a·max(V + b, 0)^2.4, with a = (Lw^(1/2.4) − Lb^(1/2.4))^2.4 and
// b = Lb^(1/2.4) / (Lw^(1/2.4) − Lb^(1/2.4)), so V = 0 gives Lb and V = 1 gives Lw. A black
// below 0 (noise) counts as 0; a white not above its black gives a flat curve at the white.
double Bt1886(double v, double whiteY, double blackY) {
  const double lb = std::max(blackY, 0.0);
  if (!(whiteY > lb)) return whiteY;
  const double rootW = std::pow(whiteY, 1.0 / kBt1886Gamma);
  const double rootB = std::pow(lb, 1.0 / kBt1886Gamma);
  const double a = std::pow(rootW - rootB, kBt1886Gamma);
  const double b = rootB / (rootW - rootB);
  return a * std::pow(std::max(v + b, 0.0), kBt1886Gamma);
}

// The 3 × 3 determinant of columns c0, c1, c2.
double Determinant(const double c0[3], const double c1[3], const double c2[3]) {
  return c0[0] * (c1[1] * c2[2] - c2[1] * c1[2]) - c1[0] * (c0[1] * c2[2] - c2[1] * c0[2]) +
         c2[0] * (c0[1] * c1[2] - c1[1] * c0[2]);
}

// XYZ of a chromaticity at Y = 1.
void UnitLuminanceXyz(Chromaticity c, double out[3]) {
  out[0] = c.x / c.y;
  out[1] = 1.0;
  out[2] = (1.0 - c.x - c.y) / c.y;
}

}  // namespace

double TargetLuminance(ToneCurve curve, double signal, double whiteY, double blackY) {
  const double v = ClampSignal(signal);
  switch (curve) {
    case ToneCurve::Power22:
      return whiteY * std::pow(v, 2.2);
    case ToneCurve::Power24:
      return whiteY * std::pow(v, 2.4);
    case ToneCurve::Bt1886:
      return Bt1886(v, whiteY, blackY);
  }
  return kNaN;
}

double PointGamma(double signal, double Y, double whiteY, double blackY) {
  if (!(signal > 0.0 && signal < 1.0) || !(whiteY > blackY)) return kNaN;
  const double relative = (Y - blackY) / (whiteY - blackY);
  if (!(relative > 0.0)) return kNaN;
  return std::log(relative) / std::log(signal);
}

// The primaries' unit-luminance XYZ are the columns of P; the scales S that make P·S the white
// solve a 3 × 3 system (Cramer's rule), and the matrix is P with its columns scaled by S.
TargetColours::TargetColours(const Target& target, double whiteY, double blackY)
    : curve_(target.curve), whiteY_(whiteY), blackY_(blackY) {
  const Gamut& gamut = target.Primaries();
  double red[3], green[3], blue[3], white[3];
  UnitLuminanceXyz(gamut.red, red);
  UnitLuminanceXyz(gamut.green, green);
  UnitLuminanceXyz(gamut.blue, blue);
  UnitLuminanceXyz(target.white, white);
  const double det = Determinant(red, green, blue);
  const double scale[3] = {Determinant(white, green, blue) / det,
                           Determinant(red, white, blue) / det,
                           Determinant(red, green, white) / det};
  const double* columns[3] = {red, green, blue};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) rgbToXyz_[row][col] = columns[col][row] * scale[col];
}

// Each drive through the tone curve, relative to the white, then through the matrix and scaled
// to the measured white. A white of no luminance gives black.
Xyz TargetColours::Of(int r, int g, int b) const {
  const auto relative = [this](int drive) {
    if (!(whiteY_ > 0.0)) return 0.0;
    return TargetLuminance(curve_, drive / kDriveMax, whiteY_, blackY_) / whiteY_;
  };
  const double rgb[3] = {relative(r), relative(g), relative(b)};
  double xyz[3];
  for (int row = 0; row < 3; ++row) {
    xyz[row] = whiteY_ * (rgbToXyz_[row][0] * rgb[0] + rgbToXyz_[row][1] * rgb[1] +
                          rgbToXyz_[row][2] * rgb[2]);
  }
  return {xyz[0], xyz[1], xyz[2]};
}

Xyz TargetColour(const Target& target, int r, int g, int b, double whiteY, double blackY) {
  return TargetColours(target, whiteY, blackY).Of(r, g, b);
}

}  // namespace velluma::colour
