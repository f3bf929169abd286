#pragma once

// Colour science for verifying a calibration: CIE XYZ and CIELAB, CIEDE2000, correlated colour
// temperature and Δuv, tone curves and target gamuts. Plain C++ (standard library only).
namespace velluma::colour {

struct Chromaticity {
  double x = 0;
  double y = 0;
};

struct Xyz {
  double X = 0;
  double Y = 0;
  double Z = 0;
};

struct Lab {
  double lightness = 0;  // L*
  double a = 0;
  double b = 0;
};

// x, y and luminance Y to XYZ; y of 0 gives black.
Xyz XyzFromXyY(double x, double y, double Y);
// XYZ to x, y (the white's chromaticity when X + Y + Z is 0).
Chromaticity ChromaticityOf(const Xyz& colour, Chromaticity whenBlack);
// CIELAB relative to a reference white (CIE 15, with the linear part below (6/29)^3).
Lab LabFromXyz(const Xyz& colour, const Xyz& white);
// CIEDE2000 colour difference (kL = kC = kH = 1), exactly as CIE 142-2001 publishes it.
double DeltaE2000(const Lab& first, const Lab& second);

// The correlated colour temperature (kelvin) of a chromaticity, and its distance Δuv from the
// Planckian locus in the CIE 1960 uv diagram (positive above the locus, towards green).
struct ColourTemperature {
  double kelvin = 0;
  double duv = 0;
};
ColourTemperature CorrelatedColourTemperature(Chromaticity white);

}  // namespace velluma::colour
