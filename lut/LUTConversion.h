#pragma once

#include <cstddef>

#include "lut/GridSelection.h"
#include "lut/LUTData.h"
#include "lut/MonitorLut.h"

namespace velluma {

// The steps that turn the tables read from a LUT file into the monitor's LUT: the 1D table
// resampled at the 16 grid inputs (InputCurve), the whole 1D-then-3D transform evaluated at the
// 4096 grid points (GridSamples), then the 10-bit codes in the monitor's entry order.

// The input curve of a file without a 1D table: (t_k, t_k, t_k), t_k = MonitorGridInput(k).
InputCurve IdentityInputCurve();

// Resamples a 1D table at the 16 grid inputs, each channel normalised to the table's range,
// interpolated and clamped to 0..1. False, with `curve` untouched, when `lut` is not a 1D table
// with samples of at least 2 entries (one entry has no positions i/(n-1)), or when memory for
// the working arrays cannot be obtained.
bool Convert1D(const LUTData& lut, InputCurve& curve);

// GridSamples of a file without a 3D table: at (r, g, b) the red of curve entry r, the green of
// entry g and the blue of entry b; each channel passes through its own curve only.
void CurveGridSamples(const InputCurve& curve, GridSamples& samples);

// Evaluates a 3D table at each grid point (red of curve entry r, green of entry g, blue of entry
// b) by trilinear interpolation of its normalised values, each channel clamped to 0..1. False,
// with `samples` untouched, when `lut` is not a 3D table with samples of at least 2 points per
// axis, or when memory for the working table cannot be obtained.
bool Convert3D(const InputCurve& curve, const LUTData& lut, GridSamples& samples);

// The points of a 3D table of `width` points per axis that Convert3D reads for `curve`: on each
// axis the two ends of the cell each of the 16 curve entries falls in (of a 65-point cube, 32
// indices per axis). A table of fewer than 2 points per axis, which cannot be converted, is held
// whole.
GridSelection PointsConvert3DReads(const InputCurve& curve, std::size_t width);

// Every entry e of every channel of `table` := ToMonitorCode of that channel of the grid
// sample of point (e mod 16, (e div 16) mod 16, e div 256): red slowest in, red fastest out.
void StoreMonitorCodes(const GridSamples& samples, MonitorLutTable& table);

}  // namespace velluma
