#pragma once

#include <vector>

namespace velluma::correction {

// A linear least-squares fit built row by row through its normal equations, solved with a
// little ridge damping so that an unknown the rows do not determine stays 0.
class LeastSquares {
 public:
  explicit LeastSquares(int unknowns);

  void AddRow(const std::vector<double>& coefficients, double value);
  std::vector<double> Solve() const;

 private:
  int unknowns_;
  std::vector<double> normal_;  // unknowns × unknowns, row-major
  std::vector<double> right_;
};

}  // namespace velluma::correction
