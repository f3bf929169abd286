#include "bench/instruments/PicturePath.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace velluma::bench {
namespace {

constexpr int kGridPoints = 16;
constexpr int kLastNode = kGridPoints - 1;
constexpr int kCodeMax = 1023;
constexpr int kSignalMax = 255;

// Red, green and blue codes (0..1023), continuous.
using Codes = std::array<double, 3>;
using Node = std::array<int, 3>;

double Signal(int value) {
  return std::clamp(value, 0, kSignalMax) / static_cast<double>(kSignalMax);
}

double ClampedCode(int code) {
  return std::clamp(code, 0, kCodeMax);
}

// A memory's LUT as three output tables over the input grid, red fastest. A channel never
// written passes the input node's own level through (the identity).
class LutNodes {
 public:
  LutNodes(const MonitorState& monitor, int memory)
      : tables_{&monitor.Lut(memory, 0), &monitor.Lut(memory, 1), &monitor.Lut(memory, 2)} {}

  Codes At(const Node& node) const {
    const int entry = node[0] + kGridPoints * (node[1] + kGridPoints * node[2]);
    Codes codes{};
    for (int channel = 0; channel < 3; ++channel) {
      const std::vector<int>& table = *tables_[channel];
      codes[channel] = table.empty() ? static_cast<double>(node[channel]) * kCodeMax / kLastNode
                                     : ClampedCode(table[entry]);
    }
    return codes;
  }

 private:
  std::array<const std::vector<int>*, 3> tables_;
};

// Tetrahedral interpolation: the grid cube around the signal is cut along its grey diagonal into
// six tetrahedra. The one holding the signal is walked from the cube's lowest node to its highest,
// one axis at a time in the order of the signal's fractions (largest first), each step weighted by
// its fraction less the next one's; the result is exact wherever the table is linear in the input.
Codes TetrahedralLookup(const LutNodes& lut, const Codes& signal) {
  Node node{};
  Codes fraction{};
  for (int axis = 0; axis < 3; ++axis) {
    const double position = signal[axis] * kLastNode;
    node[axis] = std::min(static_cast<int>(position), kLastNode - 1);
    fraction[axis] = position - node[axis];
  }
  std::array<int, 3> order{};
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return fraction[a] > fraction[b]; });
  Codes result = lut.At(node);
  Codes previous = result;
  for (int axis : order) {
    ++node[axis];
    const Codes next = lut.At(node);
    for (int channel = 0; channel < 3; ++channel) {
      result[channel] += fraction[axis] * (next[channel] - previous[channel]);
    }
    previous = next;
  }
  return result;
}

// Linear interpolation between the film-gamma table's entries at the continuous code `code`.
double FilmGammaOutput(const std::vector<int>& table, double code) {
  if (table.empty()) return code;
  const double at = std::clamp(code, 0.0, static_cast<double>(kCodeMax));
  const int below = std::min(static_cast<int>(at), kCodeMax - 1);
  const double low = ClampedCode(table[below]);
  const double high = ClampedCode(table[below + 1]);
  return low + (at - below) * (high - low);
}

}  // namespace

PanelDrive PanelDriveFor(const MonitorState& monitor, const Patch& patch) {
  const Codes signal = {Signal(patch.r), Signal(patch.g), Signal(patch.b)};
  const std::optional<int>& memory = monitor.SelectedMemory();
  if (!memory) return signal;
  const Codes codes = TetrahedralLookup(LutNodes(monitor, *memory), signal);
  const std::vector<int>& filmGamma = monitor.FilmGamma(*memory);
  PanelDrive drive{};
  for (int channel = 0; channel < 3; ++channel) {
    drive[channel] = FilmGammaOutput(filmGamma, codes[channel]) / kCodeMax;
  }
  return drive;
}

}  // namespace velluma::bench
