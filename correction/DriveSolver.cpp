#include "correction/DriveSolver.h"

#include <algorithm>
#include <cmath>

#include "correction/Damping.h"

namespace velluma::correction {
namespace {

constexpr double kLightnessWeight = 2.0;
constexpr int kIterations = 40;
constexpr double kStep = 1e-5;
constexpr double kDone = 1e-12;

double Cost(const std::array<double, 3>& r) { return r[0] * r[0] + r[1] * r[1] + r[2] * r[2]; }

Drives Clamped(Drives d) {
  for (double& v : d) v = std::clamp(v, 0.0, 1.0);
  return d;
}

// Solves the 3 × 3 system a·x = b by Cramer's rule; false when it is singular.
bool Solve3(const double a[3][3], const double b[3], double x[3]) {
  auto det = [](const double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  const double whole = det(a);
  if (!(std::abs(whole) > 1e-300)) return false;
  for (int column = 0; column < 3; ++column) {
    double m[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] = j == column ? b[i] : a[i][j];
    }
    x[column] = det(m) / whole;
  }
  return true;
}

}  // namespace

std::array<double, 3> DriveSolver::Residual(const Drives& drives, const colour::Lab& target) const {
  const colour::Lab lab = colour::LabFromXyz(panel_.Light(drives), white_);
  return {kLightnessWeight * (lab.lightness - target.lightness), lab.a - target.a, lab.b - target.b};
}

Drives DriveSolver::Guess(const colour::Xyz& target) const {
  double m[3][3], rest[3], shares[3];
  for (int channel = 0; channel < 3; ++channel) {
    const colour::Xyz& p = panel_.Primary(channel);
    m[0][channel] = p.X;
    m[1][channel] = p.Y;
    m[2][channel] = p.Z;
  }
  const colour::Xyz& black = panel_.Black();
  rest[0] = target.X - black.X;
  rest[1] = target.Y - black.Y;
  rest[2] = target.Z - black.Z;
  if (!Solve3(m, rest, shares)) return {0.5, 0.5, 0.5};
  Drives guess;
  for (int channel = 0; channel < 3; ++channel) {
    guess[channel] = std::pow(std::clamp(shares[channel], 0.0, 1.0), 1 / 2.2);
  }
  return guess;
}

// Levenberg–Marquardt with the bounds: a drive at a bound whose step would leave the box is held
// there for that step.
DriveSolver::Solution DriveSolver::Solve(const colour::Xyz& target, const Drives& start) const {
  const colour::Lab goal = colour::LabFromXyz(target, white_);
  Drives d = Clamped(start);
  std::array<double, 3> r = Residual(d, goal);
  double cost = Cost(r);
  Damping damping;
  for (int iteration = 0; iteration < kIterations && cost > kDone; ++iteration) {
    double jacobian[3][3];
    for (int channel = 0; channel < 3; ++channel) {
      Drives moved = d;
      const double h = d[channel] + kStep <= 1.0 ? kStep : -kStep;
      moved[channel] += h;
      const std::array<double, 3> rm = Residual(moved, goal);
      for (int i = 0; i < 3; ++i) jacobian[i][channel] = (rm[i] - r[i]) / h;
    }
    double normal[3][3], gradient[3];
    for (int i = 0; i < 3; ++i) {
      gradient[i] = 0;
      for (int k = 0; k < 3; ++k) gradient[i] += jacobian[k][i] * r[k];
      for (int j = 0; j < 3; ++j) {
        normal[i][j] = 0;
        for (int k = 0; k < 3; ++k) normal[i][j] += jacobian[k][i] * jacobian[k][j];
      }
    }
    bool improved = false;
    for (int attempt = 0; attempt < 8 && !improved; ++attempt) {
      double a[3][3], minus[3], step[3];
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) a[i][j] = normal[i][j];
        a[i][i] += damping.Value() * (normal[i][i] + 1e-9);
        minus[i] = -gradient[i];
        const bool heldLow = d[i] <= 0 && gradient[i] > 0;
        const bool heldHigh = d[i] >= 1 && gradient[i] < 0;
        if (heldLow || heldHigh) {
          for (int j = 0; j < 3; ++j) a[i][j] = a[j][i] = 0;
          a[i][i] = 1;
          minus[i] = 0;
        }
      }
      if (!Solve3(a, minus, step)) break;
      const Drives next = Clamped({d[0] + step[0], d[1] + step[1], d[2] + step[2]});
      const std::array<double, 3> rn = Residual(next, goal);
      const double nextCost = Cost(rn);
      if (damping.Accept(nextCost, cost)) {
        d = next;
        r = rn;
        improved = true;
      }
    }
    if (!improved) break;
  }
  return {d, std::sqrt(cost)};
}

}  // namespace velluma::correction
