#include "lut/GridTable.h"

namespace velluma {

GridTable::GridTable(const LUTData& lut)
    : size_(static_cast<std::size_t>(lut.Size())),
      positions_(UnitPositions(size_)),
      samples_(lut.Samples()),
      held_(lut.HeldPoints()),
      min_(lut.RangeMin()),
      max_(lut.RangeMax()) {}

}  // namespace velluma
