#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velluma {

// The LUT and film-gamma tables held for the monitor's user memories USER1..USER3 (index 0..2):
// filled by loading a LUT or film-gamma file, shown by the table views, sent by the transfers.
struct UserMemoryTables {
  static constexpr int kMemories = 3;
  static constexpr int kLutChannels = 3;  // red, green, blue
  static constexpr int kLutEntries = 4096;
  static constexpr int kFilmGammaEntries = 1024;
  // The memories' names; the index of a name is the memory's index everywhere.
  static constexpr std::string_view kMemoryNames[kMemories] = {"USER1", "USER2", "USER3"};

  using LutChannel = std::array<std::int32_t, kLutEntries>;
  using LutTable = std::array<LutChannel, kLutChannels>;
  using FilmGammaTable = std::array<std::int32_t, kFilmGammaEntries>;

  std::array<LutTable, kMemories> lutTables{};
  std::array<FilmGammaTable, kMemories> filmGammaTables{};
};

}  // namespace velluma
