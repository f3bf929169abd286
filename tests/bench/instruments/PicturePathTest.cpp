// The monitor's picture path: the patch's signal through the selected memory's LUT
// (tetrahedral between the 16 × 16 × 16 nodes) and film gamma to the panel's drive, with tables
// whose outputs are simple functions of the input, checked over many patches for the largest
// error.
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/instruments/DisplayModel.h"
#include "bench/instruments/PicturePath.h"
#include "gtest/gtest.h"

namespace velluma::bench {
namespace {

constexpr int kNodes = 16;
using Codes = std::array<int, 3>;
using NodeFunction = std::function<Codes(int r, int g, int b)>;

int IdentityCode(int node) {
  return static_cast<int>(std::lround(node * 1023.0 / 15));
}

void WriteLut(MonitorState& monitor, int memory, const NodeFunction& codesAt) {
  for (int channel = 0; channel < 3; ++channel) {
    std::vector<int> table;
    for (int b = 0; b < kNodes; ++b) {
      for (int g = 0; g < kNodes; ++g) {
        for (int r = 0; r < kNodes; ++r) table.push_back(codesAt(r, g, b)[channel]);
      }
    }
    monitor.WriteLut(memory, channel, 0, table);
  }
}

void WriteFilmGamma(MonitorState& monitor, int memory, const std::function<int(int)>& entry) {
  std::vector<int> table;
  for (int i = 0; i < 1024; ++i) table.push_back(entry(i));
  monitor.WriteFilmGamma(memory, 0, table);
}

const NodeFunction kIdentity = [](int r, int g, int b) {
  return Codes{IdentityCode(r), IdentityCode(g), IdentityCode(b)};
};
const NodeFunction kSwapRedAndGreen = [](int r, int g, int b) {
  return Codes{IdentityCode(g), IdentityCode(r), IdentityCode(b)};
};
// Linear in the input, in whole codes at every node: code = 15 × (M · signal).
constexpr int kMatrix[3][3] = {{40, 20, 8}, {5, 60, 3}, {0, 10, 58}};
const NodeFunction kMatrixLut = [](int r, int g, int b) {
  Codes codes{};
  for (int c = 0; c < 3; ++c) codes[c] = kMatrix[c][0] * r + kMatrix[c][1] * g + kMatrix[c][2] * b;
  return codes;
};

// Red's code is 4 × r × g at node (r, g, b), blue's 60 × b. Between nodes, tetrahedral
// interpolation gives 4 × (x y + min(fx, fy) (1 - max(fx, fy))) for the grid position x, y with
// fractions fx, fy (trilinear would give 4 x y): worked out by walking the tetrahedron by hand.
const NodeFunction kProductLut = [](int r, int g, int b) { return Codes{4 * r * g, 0, 60 * b}; };

PanelDrive ProductDrive(const Patch& p) {
  const double x = p.r * 15 / 255.0, y = p.g * 15 / 255.0;
  const double fx = x - std::min(std::floor(x), 14.0), fy = y - std::min(std::floor(y), 14.0);
  const double code = 4 * (x * y + std::min(fx, fy) * (1 - std::max(fx, fy)));
  return {code / 1023, 0, 60 * 15 * p.b / 255.0 / 1023};
}

PanelDrive Signal(const Patch& p) {
  return {p.r / 255.0, p.g / 255.0, p.b / 255.0};
}

PanelDrive MatrixDrive(const Patch& p) {
  const PanelDrive s = Signal(p);
  PanelDrive drive{};
  for (int c = 0; c < 3; ++c) {
    drive[c] = 15 * (kMatrix[c][0] * s[0] + kMatrix[c][1] * s[1] + kMatrix[c][2] * s[2]) / 1023;
  }
  return drive;
}

TEST(PicturePath, TheSelectedMemorysTablesShapeTheDrive) {
  struct Case {
    const char* name;
    std::function<void(MonitorState&)> prepare;
    std::function<PanelDrive(const Patch&)> expected;
    double tolerance;
  };
  const std::vector<Case> cases = {
      {"no memory selected: the signal itself",
       [](MonitorState& m) { WriteLut(m, 0, kSwapRedAndGreen); }, Signal, 0.0},
      {"a memory never written: the identity", [](MonitorState& m) { m.SelectMemory(2); }, Signal,
       1e-12},
      {"identity LUT, linear film gamma: within 10-bit quantisation",
       [](MonitorState& m) {
         WriteLut(m, 1, kIdentity);
         WriteFilmGamma(m, 1, [](int i) { return i; });
         m.SelectMemory(1);
       },
       Signal, 0.5 / 1023},
      {"red and green swapped",
       [](MonitorState& m) {
         WriteLut(m, 0, kSwapRedAndGreen);
         m.SelectMemory(0);
       },
       [](const Patch& p) {
         return Signal({p.g, p.r, p.b});
       },
       0.5 / 1023},
      {"tetrahedral: exact on a LUT linear in the input",
       [](MonitorState& m) {
         WriteLut(m, 2, kMatrixLut);
         m.SelectMemory(2);
       },
       MatrixDrive, 1e-12},
      {"tetrahedral, not trilinear, where the table bends",
       [](MonitorState& m) {
         WriteLut(m, 2, kProductLut);
         m.SelectMemory(2);
       },
       ProductDrive, 1e-12},
      {"the film gamma after the LUT (an inverting one)",
       [](MonitorState& m) {
         WriteLut(m, 2, kMatrixLut);
         WriteFilmGamma(m, 2, [](int i) { return 1023 - i; });
         m.SelectMemory(2);
       },
       [](const Patch& p) {
         PanelDrive d = MatrixDrive(p);
         for (double& v : d) v = 1 - v;
         return d;
       },
       1e-12},
      {"another memory's tables do not count",
       [](MonitorState& m) {
         WriteLut(m, 0, kSwapRedAndGreen);
         WriteFilmGamma(m, 0, [](int) { return 0; });
         m.SelectMemory(1);
       },
       Signal, 1e-12},
      {"entries past 1023 count as 1023",
       [](MonitorState& m) {
         WriteLut(m, 0, [](int, int, int) { return Codes{4095, 1023, 0}; });
         WriteFilmGamma(m, 0, [](int i) { return i + 3000; });
         m.SelectMemory(0);
       },
       [](const Patch&) {
         return PanelDrive{1, 1, 1};
       },
       1e-12},
  };
  std::mt19937 random(25);
  std::vector<Patch> patches = {
      {0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {128, 128, 128}, {17, 200, 99}};
  for (int i = 0; i < 500; ++i) {
    patches.push_back({static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                       static_cast<int>(random() % 256)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MonitorState monitor("QX-7MR520");
    c.prepare(monitor);
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
}

// Through the whole display: a red patch through a memory that swaps red and green shows the
// green primary, and the identity tables show what no memory shows, within their quantisation.
TEST(PicturePath, TheDisplayShowsThePictureThroughTheSelectedMemory) {
  DisplayParameters parameters;
  parameters.black = 0;
  DisplayModel display{parameters};
  MonitorState monitor("QX-7MR520");
  monitor.SetPatch({255, 0, 0});
  WriteLut(monitor, 0, kSwapRedAndGreen);
  WriteLut(monitor, 1, kIdentity);
  const Measurement red = display.Emission(monitor);
  monitor.SelectMemory(0);
  const Measurement swapped = display.Emission(monitor);
  EXPECT_NEAR(red.x, 0.64, 1e-9);
  EXPECT_NEAR(swapped.x, 0.30, 1e-9);
  EXPECT_NEAR(swapped.y, 0.60, 1e-9);
  EXPECT_NEAR(swapped.Y, 0.7152 * 260, 0.05);
  for (const Patch patch : {Patch{128, 128, 128}, Patch{30, 200, 90}}) {
    monitor.SetPatch(patch);
    monitor.SelectMemory(std::nullopt);
    const Measurement direct = display.Emission(monitor);
    monitor.SelectMemory(1);
    const Measurement identity = display.Emission(monitor);
    EXPECT_NEAR(identity.Y / direct.Y, 1.0, 0.005);
    EXPECT_NEAR(identity.x, direct.x, 0.0005);
  }
  EXPECT_THROW(monitor.SelectMemory(3), std::out_of_range);
}

}  // namespace
}  // namespace velluma::bench
