#pragma once

#include <cstdint>
#include <vector>

namespace velluma {

// Value types as the Windows registry numbers them; the settings file keeps them so that every
// type rule of the settings has a meaning here too.
enum RegistryType : std::uint32_t {
  RegNone = 0,
  RegSz = 1,
  RegExpandSz = 2,
  RegBinary = 3,
  RegDword = 4,
};

// One stored value: its type and its raw data. Strings are 8-bit text with their terminating NUL
// counted in the data, as the registry stores them; a DWORD is four little-endian bytes.
struct RegistryValue {
  std::uint32_t type = RegNone;
  std::vector<std::uint8_t> data;

  bool operator==(const RegistryValue&) const = default;
};

}  // namespace velluma
