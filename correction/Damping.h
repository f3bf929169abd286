#pragma once

#include <algorithm>

namespace velluma::correction {

// The damping of a Levenberg–Marquardt search: a tenth after a step that lowered the cost (the
// search trusts its model more), ten times after one that did not (it steps shorter and closer
// to the gradient).
class Damping {
 public:
  double Value() const { return value_; }

  // Whether a step to `nextCost` lowers `cost`; when it does, `cost` takes it.
  bool Accept(double nextCost, double& cost) {
    if (nextCost < cost) {
      cost = nextCost;
      value_ = std::max(value_ / 10, 1e-9);
      return true;
    }
    value_ *= 10;
    return false;
  }

 private:
  double value_ = 1e-3;
};

}  // namespace velluma::correction
