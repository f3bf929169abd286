// LoadLUTFile with the Baselight reader (".cub"): rejections leave the table as it was, a loaded
// file gives 10-bit codes everywhere.
#include "fuzz/LUTLoadCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velluma::fuzz::CheckConvertedLoad(data, size, velluma::kBaselightFileType);
  return 0;
}
