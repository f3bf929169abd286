#include "history/PostgresLibrary.h"

#include <stdexcept>

#include "history/HistoryError.h"

namespace velluma::history {

#ifdef VELLUMA_LIBPQ_LINKED

const char* const PostgresLibrary::kFile = "";

PostgresLibrary::PostgresLibrary(const std::string&) {
#define VELLUMA_LIBPQ_LINK(name) functions_.name = &::name;
  VELLUMA_LIBPQ_FUNCTIONS(VELLUMA_LIBPQ_LINK)
#undef VELLUMA_LIBPQ_LINK
}

#else

const char* const PostgresLibrary::kFile = "libpq.so.5";

namespace {
template <typename Function>
void Find(const SharedLibrary& library, const std::string& file, const char* name,
          Function& function) {
  function = reinterpret_cast<Function>(library.Symbol(name));
  if (!function)
    throw std::runtime_error("PostgreSQL client library " + file + " has no " + name);
}
}  // namespace

PostgresLibrary::PostgresLibrary(const std::string& file) {
  if (!library_.Load(file))
    throw std::runtime_error("PostgreSQL client library " + file +
                             " not found; install the package libpq5 (" + library_.LastError() +
                             ")");
#define VELLUMA_LIBPQ_FIND(name) Find(library_, file, #name, functions_.name);
  VELLUMA_LIBPQ_FUNCTIONS(VELLUMA_LIBPQ_FIND)
#undef VELLUMA_LIBPQ_FIND
}

#endif

const LibpqFunctions& Libpq(const std::string& location) {
  try {
    // Never unloaded: libpq keeps state of its own (its thread locks, OpenSSL's) to the end.
    static const PostgresLibrary kLoaded;
    return kLoaded.Functions();
  } catch (const std::runtime_error& error) {
    throw HistoryError(location, error.what());
  }
}

}  // namespace velluma::history
