#include "instruments/Analyzer3.h"

namespace velluma {

Analyzer3::Analyzer3(int kind, const std::string& port, int speed)
    : kind_(kind), port_(port), speed_(speed) {}

Analyzer3::~Analyzer3() = default;

}  // namespace velluma
