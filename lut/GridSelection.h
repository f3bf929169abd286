#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velluma {

// The points of a 3D table that are held in memory: on each axis a set of grid indices, and a
// point is held when its index on every axis is. A table read for the monitor's LUT holds only
// the points its conversion reads (of a 65-point cube, 32 indices per axis), so that a large
// cube never has to be in memory whole; a table read as it is holds every point. The held
// points are stored red slowest, as a whole table is.
class GridSelection {
 public:
  // Every point of a table of `size` points per axis.
  static GridSelection Every(std::size_t size);
  // No point of a table of `size` points per axis.
  static GridSelection None(std::size_t size);
  // The points whose index on axis a (0 red, 1 green, 2 blue) is marked in held[a]; the three
  // have the table's number of points per axis.
  explicit GridSelection(const std::array<std::vector<bool>, 3>& held);
  // A selection of nothing in a table of no points.
  GridSelection() = default;

  // How many points are held.
  std::size_t Count() const { return counts_[0] * counts_[1] * counts_[2]; }
  bool Holds(std::size_t r, std::size_t g, std::size_t b) const {
    return rank_[0][r] != kNotHeld && rank_[1][g] != kNotHeld && rank_[2][b] != kNotHeld;
  }
  // Where the held point (r, g, b) is stored among the held points.
  std::size_t Place(std::size_t r, std::size_t g, std::size_t b) const {
    return (rank_[0][r] * counts_[1] + rank_[1][g]) * counts_[2] + rank_[2][b];
  }

 private:
  static constexpr std::uint32_t kNotHeld = UINT32_MAX;
  // Per axis, each index's rank among the held indices of that axis, or kNotHeld.
  std::array<std::vector<std::uint32_t>, 3> rank_;
  std::array<std::size_t, 3> counts_{};
};

}  // namespace velluma
