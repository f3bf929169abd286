#include "correction/LeastSquares.h"

#include <cmath>
#include <utility>

namespace velluma::correction {
namespace {

constexpr double kRidge = 1e-9;

}  // namespace

LeastSquares::LeastSquares(int unknowns)
    : unknowns_(unknowns), normal_(unknowns * unknowns, 0.0), right_(unknowns, 0.0) {}

void LeastSquares::AddRow(const std::vector<double>& coefficients, double value) {
  for (int i = 0; i < unknowns_; ++i) {
    right_[i] += coefficients[i] * value;
    for (int j = 0; j < unknowns_; ++j) normal_[i * unknowns_ + j] += coefficients[i] * coefficients[j];
  }
}

// Gaussian elimination with partial pivoting on the damped normal equations.
std::vector<double> LeastSquares::Solve() const {
  const int n = unknowns_;
  std::vector<double> a = normal_;
  std::vector<double> b = right_;
  double scale = 0;
  for (int i = 0; i < n; ++i) scale = std::max(scale, a[i * n + i]);
  for (int i = 0; i < n; ++i) a[i * n + i] += kRidge * (scale > 0 ? scale : 1.0);
  for (int column = 0; column < n; ++column) {
    int pivot = column;
    for (int row = column + 1; row < n; ++row) {
      if (std::abs(a[row * n + column]) > std::abs(a[pivot * n + column])) pivot = row;
    }
    for (int j = 0; j < n; ++j) std::swap(a[column * n + j], a[pivot * n + j]);
    std::swap(b[column], b[pivot]);
    const double diagonal = a[column * n + column];
    if (diagonal == 0) continue;
    for (int row = column + 1; row < n; ++row) {
      const double factor = a[row * n + column] / diagonal;
      for (int j = column; j < n; ++j) a[row * n + j] -= factor * a[column * n + j];
      b[row] -= factor * b[column];
    }
  }
  std::vector<double> x(n, 0.0);
  for (int row = n - 1; row >= 0; --row) {
    double sum = b[row];
    for (int j = row + 1; j < n; ++j) sum -= a[row * n + j] * x[j];
    const double diagonal = a[row * n + row];
    x[row] = diagonal == 0 ? 0.0 : sum / diagonal;
  }
  return x;
}

}  // namespace velluma::correction
