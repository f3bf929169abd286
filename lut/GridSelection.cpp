#include "lut/GridSelection.h"

namespace velluma {

GridSelection GridSelection::Every(std::size_t size) {
  const std::vector<bool> all(size, true);
  return GridSelection({all, all, all});
}

GridSelection GridSelection::None(std::size_t size) {
  const std::vector<bool> none(size, false);
  return GridSelection({none, none, none});
}

GridSelection::GridSelection(const std::array<std::vector<bool>, 3>& held) {
  for (std::size_t axis = 0; axis < held.size(); ++axis) {
    rank_[axis].reserve(held[axis].size());
    for (const bool kept : held[axis])
      rank_[axis].push_back(kept ? static_cast<std::uint32_t>(counts_[axis]++) : kNotHeld);
  }
}

}  // namespace velluma
