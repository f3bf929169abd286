#include "instruments/Analyzer.h"

namespace velluma {

Analyzer::Analyzer(int kind, const std::string& port, int speed)
    : kind_(kind), port_(port), speed_(speed) {}

Analyzer::~Analyzer() = default;

}  // namespace velluma
