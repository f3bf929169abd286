#pragma once

#include "lut/LUTReader.h"

namespace velluma {

// Reads DaVinci Resolve ".cube" files; the rules are at the top of DaVinciLUTReader.cpp.
class DaVinciLUTReader : public LUTReader {
 public:
  ReadStatus Read(std::istream& in, std::unique_ptr<LUTReadData>* out) override;
};

}  // namespace velluma
