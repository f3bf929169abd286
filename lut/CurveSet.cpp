#include "lut/CurveSet.h"

#include "lut/LUTKernels.h"

namespace velluma {

CurveSet::CurveSet(const LUTData& lut) : positions_(UnitPositions(lut.Samples().size())) {
  for (int c = 0; c < kRgbChannels; ++c) {
    values_[c].reserve(positions_.size());
    for (const RgbTriple& sample : lut.Samples()) {
      values_[c].push_back(NormaliseToRange(Channel(sample, c), lut.RangeMin(), lut.RangeMax()));
    }
  }
}

}  // namespace velluma
