#include "lut/GridTable.h"

#include "lut/LUTKernels.h"

namespace velluma {

GridTable::GridTable(const LUTData& lut)
    : size_(static_cast<std::size_t>(lut.Size())), positions_(UnitPositions(size_)) {
  const double min = lut.RangeMin();
  const double max = lut.RangeMax();
  values_.reserve(lut.Samples().size());
  for (const RgbTriple& sample : lut.Samples()) {
    values_.push_back({NormaliseToRange(sample.r, min, max), NormaliseToRange(sample.g, min, max),
                       NormaliseToRange(sample.b, min, max)});
  }
}

}  // namespace velluma
