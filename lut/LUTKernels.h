#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lut/RgbTriple.h"

namespace velluma {

class GridTable;

// The numeric kernels of the LUT conversion. Set-up (positions, normalised values) is done once
// by CurveSet and GridTable; the kernels only search, weigh and add.

// Positions of a table of n entries or points per axis: entry i at i * (1/(n-1)), the
// reciprocal computed first and then multiplied by i. n is at least 2.
std::vector<double> UnitPositions(std::size_t n);

// A table value brought to 0..1 by the table's range: (value - min) / (max - min).
inline double NormaliseToRange(double value, double rangeMin, double rangeMax) {
  return (value - rangeMin) / (rangeMax - rangeMin);
}

// Piecewise-linear interpolation of one channel (x ascending, at least 2 points). Outside
// x_0..x_(n-1) the straight line through the first and last points; inside, the first segment
// with x_i <= t <= x_(i+1), so a t on an inner position uses the segment to its left.
double InterpolateCurves(std::span<const double> x, std::span<const double> y, double t);

// Where a coordinate falls on one axis of a grid table: the cell (its lower grid index) and the
// coordinate clamped to the axis.
struct AxisCell {
  std::size_t cell;
  double u;
};

// The cell search on positions p (ascending, at least 2): below the first position or not a
// number, cell 0 at the first position; above the last, the last cell at the last position;
// otherwise the cell just before the first position greater than u (the last cell when u is the
// last position itself).
AxisCell LocateOnAxis(std::span<const double> p, double u);

// Trilinear interpolation in a grid table. Each coordinate is located by LocateOnAxis: one below
// the first position or not a number is taken at the first position, one above the last
// position at the last. The eight corners of the cell are weighed by the volume of the box between
// the point and the opposite corner, and the weighted sum divided by the sum of the weights.
RgbTriple InterpolateTrilinear(const GridTable& grid, const RgbTriple& point);

// 0 for values below 0 and for NaN, 1 for values above 1, the value otherwise.
double Clamp01(double v);

// v * 1023 + 0.5 truncated toward zero: for v in 0..1 the 10-bit code rounded half up
// (1/15 gives 68.7, so 68). Defined for every input: NaN gives 0 and results beyond the 32-bit
// range are held at its ends.
std::int32_t ToMonitorCode(double v);

}  // namespace velluma
