// The monitor's picture path: the patch's signal through the selected memory's LUT
// (tetrahedral between the 16 × 16 × 16 nodes) and film gamma to the panel's drive, with tables
// whose outputs are simple functions of the input, checked over many patches for the largest
// error.
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "bench/instruments/PicturePath.h"
#include "gtest/gtest.h"

namespace velluma::bench {
namespace {

using Codes = std::array<int, 3>;
using NodeFunction = std::function<Codes(int r, int g, int b)>;

int IdentityCode(int node) {
  return static_cast<int>(std::lround(node * 1023.0 / 15));
}

// Writes the LUT whose codes at node (r, g, b) are `codesAt`, and the film gamma whose entry i is
// `filmGamma(i)`, into `memory`; either may be absent.
void Write(MonitorState& monitor, int memory, const NodeFunction& codesAt,
           const std::function<int(int)>& filmGamma) {
  for (int channel = 0; codesAt && channel < 3; ++channel) {
    std::vector<int> table;
    for (int entry = 0; entry < 4096; ++entry) {
      table.push_back(codesAt(entry % 16, entry / 16 % 16, entry / 256)[channel]);
    }
    monitor.WriteLut(memory, channel, 0, table);
  }
  std::vector<int> entries;
  for (int i = 0; filmGamma && i < 1024; ++i) entries.push_back(filmGamma(i));
  if (filmGamma) monitor.WriteFilmGamma(memory, 0, entries);
}

const NodeFunction kIdentity = [](int r, int g, int b) {
  return Codes{IdentityCode(r), IdentityCode(g), IdentityCode(b)};
};
const NodeFunction kSwapRedAndGreen = [](int r, int g, int b) {
  return Codes{IdentityCode(g), IdentityCode(r), IdentityCode(b)};
};
// Red bends (4 r g), green and blue are linear in the input. Between nodes at grid position x, y
// (fractions fx, fy), walking the tetrahedron by hand gives red 4 (x y + min(fx, fy)
// (1 - max(fx, fy))), where trilinear would give 4 x y; green and blue come out exact.
const NodeFunction kBending = [](int r, int g, int b) {
  return Codes{4 * r * g, 20 * r + 40 * g + 8 * b, 60 * b};
};

PanelDrive Signal(const Patch& p) {
  return {p.r / 255.0, p.g / 255.0, p.b / 255.0};
}

PanelDrive BendingDrive(const Patch& p) {
  const double x = p.r * 15 / 255.0, y = p.g * 15 / 255.0, z = p.b * 15 / 255.0;
  const double fx = x - std::min(std::floor(x), 14.0), fy = y - std::min(std::floor(y), 14.0);
  const double red = 4 * (x * y + std::min(fx, fy) * (1 - std::max(fx, fy)));
  return {red / 1023, (20 * x + 40 * y + 8 * z) / 1023, 60 * z / 1023};
}

TEST(PicturePath, TheSelectedMemorysTablesShapeTheDrive) {
  struct Case {
    const char* name;
    int memory;  // where the tables go
    NodeFunction lut;
    std::function<int(int)> filmGamma;
    std::optional<int> selected;
    std::function<PanelDrive(const Patch&)> expected;
    double tolerance;
  };
  const auto linear = [](int i) { return i; };
  const std::vector<Case> cases = {
      {"no memory selected: the signal itself", 0, kSwapRedAndGreen, {}, {}, Signal, 0.0},
      {"another memory's tables do not count, one never written is the identity", 0,
       kSwapRedAndGreen, [](int) { return 0; }, 2, Signal, 1e-12},
      {"identity LUT, linear film gamma: within 10-bit quantisation", 1, kIdentity, linear, 1,
       Signal, 0.5 / 1023},
      {"red and green swapped",
       0,
       kSwapRedAndGreen,
       {},
       0,
       [](const Patch& p) {
         return Signal({p.g, p.r, p.b});
       },
       0.5 / 1023},
      {"tetrahedral between the nodes", 2, kBending, linear, 2, BendingDrive, 1e-12},
      {"the film gamma after the LUT (an inverting one)", 2, kBending,
       [](int i) { return 1023 - i; }, 2,
       [](const Patch& p) {
         const PanelDrive d = BendingDrive(p);
         return PanelDrive{1 - d[0], 1 - d[1], 1 - d[2]};
       },
       1e-12},
      {"entries past 1023 count as 1023", 0,
       [](int, int, int) {
         return Codes{4095, 1023, 0};
       },
       [](int i) { return i + 3000; }, 0,
       [](const Patch&) {
         return PanelDrive{1, 1, 1};
       },
       0},
  };
  std::mt19937 random(25);
  std::vector<Patch> patches = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {128, 128, 128}};
  for (int i = 0; i < 500; ++i) {
    patches.push_back({static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                       static_cast<int>(random() % 256)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MonitorState monitor("QX-7MR520");
    Write(monitor, c.memory, c.lut, c.filmGamma);
    monitor.SelectMemory(c.selected);
    double largest = 0;
    for (const Patch& patch : patches) {
      const PanelDrive drive = PanelDriveFor(monitor, patch);
      const PanelDrive expected = c.expected(patch);
      for (int channel = 0; channel < 3; ++channel) {
        largest = std::max(largest, std::abs(drive[channel] - expected[channel]));
      }
    }
    EXPECT_LE(largest, c.tolerance);
  }
  EXPECT_THROW(MonitorState("QX-7MR520").SelectMemory(3), std::out_of_range);
}

}  // namespace
}  // namespace velluma::bench
