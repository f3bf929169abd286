#include "lut/LUTConversion.h"

#include <array>
#include <new>
#include <vector>

#include "lut/CurveSet.h"
#include "lut/GridTable.h"
#include "lut/LUTKernels.h"

namespace velluma {
namespace {

// The fewest entries (or points per axis) a table needs for the positions i/(n-1).
constexpr std::int32_t kMinConvertibleSize = 2;

bool IsConvertible(const LUTData& lut, bool want1D) {
  return lut.Is1D() == want1D && lut.Size() >= kMinConvertibleSize && !lut.Samples().empty();
}

}  // namespace

InputCurve IdentityInputCurve() {
  InputCurve curve{};
  for (int k = 0; k < kMonitorGridPoints; ++k) {
    const double t = MonitorGridInput(k);
    curve[k] = {t, t, t};
  }
  return curve;
}

bool Convert1D(const LUTData& lut, InputCurve& curve) {
  if (!IsConvertible(lut, true)) return false;
  try {
    const CurveSet curves(lut);
    for (int k = 0; k < kMonitorGridPoints; ++k) {
      const double t = MonitorGridInput(k);
      for (int c = 0; c < kRgbChannels; ++c) {
        Channel(curve[k], c) = Clamp01(InterpolateCurves(curves.Positions(), curves.Values(c), t));
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CurveGridSamples(const InputCurve& curve, GridSamples& samples) {
  for (int r = 0; r < kMonitorGridPoints; ++r) {
    for (int g = 0; g < kMonitorGridPoints; ++g) {
      for (int b = 0; b < kMonitorGridPoints; ++b) {
        samples[GridSampleIndexRedSlowest(r, g, b)] = {curve[r].r, curve[g].g, curve[b].b};
      }
    }
  }
}

bool Convert3D(const InputCurve& curve, const LUTData& lut, GridSamples& samples) {
  if (!IsConvertible(lut, false)) return false;
  try {
    const GridTable grid(lut);
    for (int r = 0; r < kMonitorGridPoints; ++r) {
      for (int g = 0; g < kMonitorGridPoints; ++g) {
        for (int b = 0; b < kMonitorGridPoints; ++b) {
          const RgbTriple v = InterpolateTrilinear(grid, {curve[r].r, curve[g].g, curve[b].b});
          samples[GridSampleIndexRedSlowest(r, g, b)] = {Clamp01(v.r), Clamp01(v.g), Clamp01(v.b)};
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

GridSelection PointsConvert3DReads(const InputCurve& curve, std::size_t width) {
  if (width < static_cast<std::size_t>(kMinConvertibleSize)) return GridSelection::Every(width);
  const std::vector<double> positions = UnitPositions(width);
  std::array<std::vector<bool>, kRgbChannels> held;
  for (int axis = 0; axis < kRgbChannels; ++axis) {
    held[axis].assign(width, false);
    for (const RgbTriple& entry : curve) {
      const std::size_t cell = LocateOnAxis(positions, Channel(entry, axis)).cell;
      held[axis][cell] = held[axis][cell + 1] = true;
    }
  }
  return GridSelection(held);
}

void StoreMonitorCodes(const GridSamples& samples, MonitorLutTable& table) {
  for (int e = 0; e < kMonitorLutEntries; ++e) {
    const int r = e % kMonitorGridPoints;
    const int g = (e / kMonitorGridPoints) % kMonitorGridPoints;
    const int b = e / (kMonitorGridPoints * kMonitorGridPoints);
    const RgbTriple& sample = samples[GridSampleIndexRedSlowest(r, g, b)];
    for (int c = 0; c < kMonitorLutChannels; ++c) table[c][e] = ToMonitorCode(Channel(sample, c));
  }
}

}  // namespace velluma
