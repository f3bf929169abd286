#pragma once

#include "lut/LUTReader.h"

namespace velluma {

// Reads Baselight ".cub" files; the rules are at the top of BaselightLUTReader.cpp.
class BaselightLUTReader : public LUTReader {
 public:
  ReadStatus Read(std::istream& in, std::unique_ptr<LUTReadData>* out) override;
};

}  // namespace velluma
