#include "instruments/Analyzer2.h"

namespace velluma {

Analyzer2::Analyzer2(int kind, const std::string& port, int speed)
    : kind_(kind), port_(port), speed_(speed) {}

Analyzer2::~Analyzer2() = default;

}  // namespace velluma
