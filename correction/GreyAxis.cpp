#include "correction/GreyAxis.h"

#include <algorithm>
#include <cmath>

#include "correction/Damping.h"
#include "correction/LeastSquares.h"

namespace velluma::correction {
namespace {

constexpr int kLevels = 256;
constexpr int kNodeStep = 255 / (kMonitorGridPoints - 1);
constexpr int kUnknowns = kMonitorGridPoints * 3;
constexpr double kLightnessWeight = 2.0;
constexpr double kStep = 1e-5;
constexpr int kIterations = 12;

// The drives the monitor gives grey `level`: the line between the diagonal nodes around it.
Drives Interpolated(const GreyAxis::Nodes& nodes, int level) {
  const int below = std::min(level / kNodeStep, kMonitorGridPoints - 2);
  const double t = (level - below * kNodeStep) / double(kNodeStep);
  Drives d;
  for (int c = 0; c < 3; ++c) d[c] = nodes[below][c] * (1 - t) + nodes[below + 1][c] * t;
  return d;
}

double SumOfSquares(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v * v;
  return sum;
}

}  // namespace

GreyAxis::GreyAxis(const PanelModel& panel, const colour::TargetColours& colours,
                   const colour::Xyz& white)
    : panel_(panel), white_(white) {
  for (int level = 0; level < kLevels; ++level) {
    goals_[level] = colour::LabFromXyz(colours.Of(level, level, level), white);
  }
}

void GreyAxis::AddResiduals(const Nodes& nodes, std::vector<double>& residuals) const {
  residuals.clear();
  for (int level = 0; level < kLevels; ++level) {
    const colour::Lab lab = colour::LabFromXyz(panel_.Light(Interpolated(nodes, level)), white_);
    residuals.push_back(kLightnessWeight * (lab.lightness - goals_[level].lightness));
    residuals.push_back(lab.a - goals_[level].a);
    residuals.push_back(lab.b - goals_[level].b);
  }
}

// Levenberg–Marquardt over the 48 drives; a level depends on two nodes only, so each column of
// the Jacobian is taken from the residuals of the levels beside its node.
GreyAxis::Nodes GreyAxis::Fit(const Nodes& start) const {
  Nodes nodes = start;
  std::vector<double> residuals, moved;
  AddResiduals(nodes, residuals);
  double cost = SumOfSquares(residuals);
  Damping damping;
  for (int iteration = 0; iteration < kIterations; ++iteration) {
    std::vector<std::vector<double>> jacobian(kUnknowns);
    std::vector<bool> held(kUnknowns, false);
    for (int unknown = 0; unknown < kUnknowns; ++unknown) {
      Nodes shifted = nodes;
      double& drive = shifted[unknown / 3][unknown % 3];
      const double h = drive + kStep <= 1.0 ? kStep : -kStep;
      drive += h;
      AddResiduals(shifted, moved);
      jacobian[unknown].resize(residuals.size());
      double gradient = 0;
      for (size_t i = 0; i < residuals.size(); ++i) {
        jacobian[unknown][i] = (moved[i] - residuals[i]) / h;
        gradient += jacobian[unknown][i] * residuals[i];
      }
      const double value = nodes[unknown / 3][unknown % 3];
      held[unknown] = unknown < 3 || (value <= 0 && gradient > 0) || (value >= 1 && gradient < 0);
    }
    bool improved = false;
    for (int attempt = 0; attempt < 6 && !improved; ++attempt) {
      LeastSquares step(kUnknowns);
      for (size_t i = 0; i < residuals.size(); ++i) {
        std::vector<double> row(kUnknowns, 0.0);
        for (int u = 0; u < kUnknowns; ++u) row[u] = held[u] ? 0.0 : jacobian[u][i];
        step.AddRow(row, -residuals[i]);
      }
      for (int u = 0; u < kUnknowns; ++u) {
        std::vector<double> row(kUnknowns, 0.0);
        row[u] = std::sqrt(damping.Value()) * 30;
        step.AddRow(row, 0.0);
      }
      const std::vector<double> delta = step.Solve();
      Nodes next = nodes;
      for (int u = 0; u < kUnknowns; ++u) {
        if (held[u]) continue;
        double& drive = next[u / 3][u % 3];
        drive = std::clamp(drive + delta[u], 0.0, 1.0);
      }
      AddResiduals(next, moved);
      const double nextCost = SumOfSquares(moved);
      if (damping.Accept(nextCost, cost)) {
        nodes = next;
        residuals = moved;
        improved = true;
      }
    }
    if (!improved) break;
  }
  return nodes;
}

}  // namespace velluma::correction
