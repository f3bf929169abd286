// film_gamma_file::Read on any bytes: a loaded table holds only values in 0..1023, an invalid
// file leaves it all zero, and a file that cannot be opened leaves it as it was (the input is a
// regular file, so it always opens).
#include "datafiles/FilmGammaFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using velluma::fuzz::Check;
  namespace film_gamma_file = velluma::film_gamma_file;
  using Table = velluma::UserMemoryTables::FilmGammaTable;

  // Out of range everywhere, so an entry the reader did not write shows.
  static const Table kMarked = [] {
    Table table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = -1 - static_cast<std::int32_t>(i);
    return table;
  }();
  Table table = kMarked;
  switch (film_gamma_file::Read(velluma::fuzz::InputFile(bytes, size), table)) {
    case film_gamma_file::ReadResult::Loaded:
      for (std::int32_t value : table)
        Check(value >= 0 && value <= 1023, "every film-gamma value loaded is in 0..1023");
      break;
    case film_gamma_file::ReadResult::Invalid:
      Check(table == Table{}, "an invalid file leaves the table all zero");
      break;
    case film_gamma_file::ReadResult::CannotOpen:
      Check(table == kMarked, "a file that cannot be opened leaves the table as it was");
      velluma::fuzz::Fail("a regular file always opens");
  }
  return 0;
}
