// Tone curves, target colours and the names of targets, against independent evaluations and the
// standards' published matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "colour/Target.h"

namespace velluma::colour {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// BT.1886 written the other way round: L = (V·(Lw^(1/2.4) − Lb^(1/2.4)) + Lb^(1/2.4))^2.4.
double Bt1886(double v, double white, double black) {
  const double w = std::pow(white, 1 / 2.4), b = std::pow(black, 1 / 2.4);
  return std::pow(v * (w - b) + b, 2.4);
}

TEST(TargetTest, ToneCurvesKnownAnswers) {
  struct Case {
    ToneCurve curve;
    double signal, white, black, luminance;
  } cases[] = {
      {ToneCurve::Bt1886, 0.0, 100, 0.1, 0.1},  // V = 0 gives the black
      {ToneCurve::Bt1886, 1.0, 100, 0.1, 100},  // V = 1 the white
      {ToneCurve::Bt1886, 0.5, 100, 0.1, Bt1886(0.5, 100, 0.1)},
      {ToneCurve::Bt1886, 0.1, 100, 0.1, Bt1886(0.1, 100, 0.1)},
      {ToneCurve::Bt1886, 0.5, 250, 0.0, 250 * std::pow(0.5, 2.4)},    // no black: a 2.4 power
      {ToneCurve::Bt1886, 0.5, 250, -0.02, 250 * std::pow(0.5, 2.4)},  // noise below 0 is 0
      {ToneCurve::Bt1886, 0.5, 0.1, 0.1, 0.1},  // a white no brighter than its black: flat
      {ToneCurve::Power22, 0.5, 100, 0.1, 100 * std::pow(0.5, 2.2)},  // the power curves
      {ToneCurve::Power24, 0.5, 100, 0.1, 100 * std::pow(0.5, 2.4)},  // ignore the black
      {ToneCurve::Power22, 0.0, 100, 0.1, 0.0},
      {ToneCurve::Power22, -0.5, 100, 0.1, 0.0},  // signals are held to 0..1, NaN counts as 0
      {ToneCurve::Power22, 1.5, 100, 0.1, 100},
      {ToneCurve::Bt1886, kNaN, 100, 0.1, 0.1},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(TargetLuminance(c.curve, c.signal, c.white, c.black), c.luminance, 1e-12 * c.white)
        << ToneCurveName(c.curve) << " at " << c.signal;
  }
  // Mid grey of a 100 cd/m² white and a 0.1 cd/m² black: (0.5·(6.8129 − 0.3831) + 0.3831)^2.4.
  EXPECT_NEAR(TargetLuminance(ToneCurve::Bt1886, 0.5, 100, 0.1), 21.60, 0.01);
}

TEST(TargetTest, PointGammaOfStepsBetweenBlackAndWhite) {
  EXPECT_NEAR(PointGamma(0.5, 200 * std::pow(0.5, 2.2), 200, 0), 2.2, 1e-12);
  EXPECT_NEAR(PointGamma(0.25, 0.5 + 199.5 * std::pow(0.25, 2.4), 200, 0.5), 2.4, 1e-12);
  for (double none : {PointGamma(0.0, 0.0, 200, 0), PointGamma(1.0, 200, 200, 0),
                      PointGamma(0.5, 0.4, 200, 0.5),  // below the black
                      PointGamma(0.5, 0.5, 200, 0.5),  // at the black
                      PointGamma(0.5, 50, 0.5, 0.5), PointGamma(kNaN, 50, 200, 0)}) {
    EXPECT_TRUE(std::isnan(none)) << none;
  }
}

// The primaries at full drive are the columns of the standards' RGB → XYZ matrices (white at
// Y = 1): ITU-R BT.709 / sRGB, and DCI-P3 primaries with the D65 white.
TEST(TargetTest, TargetColoursOfThePrimariesAreTheStandardMatrices) {
  struct Case {
    const Gamut* gamut;
    double matrix[3][3];
  } cases[] = {
      {&kRec709, {{0.4124, 0.3576, 0.1805}, {0.2126, 0.7152, 0.0722}, {0.0193, 0.1192, 0.9505}}},
      {&kDciP3, {{0.4866, 0.2657, 0.1982}, {0.2290, 0.6917, 0.0793}, {0.0000, 0.0451, 1.0439}}},
  };
  for (const Case& c : cases) {
    const Target target{kD65, ToneCurve::Power22, c.gamut};
    const Xyz columns[3] = {TargetColour(target, 255, 0, 0, 1.0, 0.0),
                            TargetColour(target, 0, 255, 0, 1.0, 0.0),
                            TargetColour(target, 0, 0, 255, 1.0, 0.0)};
    for (int col = 0; col < 3; ++col) {
      EXPECT_NEAR(columns[col].X, c.matrix[0][col], 5e-5) << c.gamut->name << " column " << col;
      EXPECT_NEAR(columns[col].Y, c.matrix[1][col], 5e-5) << c.gamut->name << " column " << col;
      EXPECT_NEAR(columns[col].Z, c.matrix[2][col], 5e-5) << c.gamut->name << " column " << col;
    }
  }
}

TEST(TargetTest, GreysAreTheTargetWhiteAlongTheCurve) {
  const Target target{{0.3140, 0.3510}, ToneCurve::Bt1886, &kDciP3};  // the DCI white
  const TargetColours colours(target, 48.0, 0.03);
  for (int drive : {0, 64, 128, 255}) {
    const Xyz grey = colours.Of(drive, drive, drive);
    const double Y = Bt1886(drive / 255.0, 48.0, 0.03);
    EXPECT_NEAR(grey.Y, Y, 1e-12) << drive;
    EXPECT_NEAR(grey.X / (grey.X + grey.Y + grey.Z), 0.3140, 1e-12) << drive;
    EXPECT_NEAR(grey.Y / (grey.X + grey.Y + grey.Z), 0.3510, 1e-12) << drive;
  }
  // Scaled to the measured white; a white of no luminance gives black.
  const Xyz white = TargetColour(target, 255, 255, 255, 0.0, 0.0);
  EXPECT_EQ(white.X + white.Y + white.Z, 0.0);
}

TEST(TargetTest, NamesAsSettingsWriteThem) {
  ToneCurve curve = ToneCurve::Power24;
  const Gamut* gamut = nullptr;
  Chromaticity white;
  EXPECT_TRUE(ParseToneCurve(" bt.1886", curve) && curve == ToneCurve::Bt1886);
  EXPECT_TRUE(ParseGamut("DCI-P3", gamut) && gamut == &kDciP3);
  EXPECT_TRUE(ParseGamut("rec.709", gamut) && gamut == &kRec709);
  EXPECT_TRUE(ParseWhitePoint("D65", white) && white.x == 0.3127 && white.y == 0.3290);
  // Any real colour, close to the spectral locus and the line of purples too.
  for (const char* text : {"0.64,0.33", "0.3,0.6", "0.15,0.06", "0.7,0.29"})
    EXPECT_TRUE(ParseWhitePoint(text, white)) << text;
  EXPECT_TRUE(ParseWhitePoint("0.314, 0.351", white) && white.x == 0.314 && white.y == 0.351);
  for (ToneCurve c : {ToneCurve::Power22, ToneCurve::Power24, ToneCurve::Bt1886})
    EXPECT_TRUE(ParseToneCurve(ToneCurveName(c), curve) && curve == c) << ToneCurveName(c);

  // Texts that name nothing leave the value as it was.
  for (const char* text : {"", "2", "2.20", "BT1886"}) EXPECT_FALSE(ParseToneCurve(text, curve));
  for (const char* text : {"", "P3", "DCI P3"}) EXPECT_FALSE(ParseGamut(text, gamut)) << text;
  for (const char* text :
       {"D50", "0.3127", "0.3127,", "0.3127;0.3290", "0,3127,0,3290", "0.3127,0.3290x", "0.7,0.4",
        "-0.1,0.3", "0.3,0", "nan,0.3", "0.5,0.5", "0.3,0.7",  // x + y of 1: no Z, no CIELAB
        "0.3,1e-300", "0.05,0.05", "0.7,0.2"}) {               // outside the locus
    EXPECT_FALSE(ParseWhitePoint(text, white)) << text;
  }
  EXPECT_EQ(curve, ToneCurve::Bt1886);
  EXPECT_EQ(gamut, &kRec709);
  EXPECT_EQ(white.x, 0.314);
}

}  // namespace
}  // namespace velluma::colour
