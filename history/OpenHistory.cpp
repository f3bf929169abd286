#include "history/OpenHistory.h"

#include <cstdlib>
#include <string_view>

#include "history/PostgresHistory.h"
#include "history/SqliteHistory.h"

namespace velluma::history {

namespace {
bool NamesServer(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

// An environment variable's value; empty when unset, which the XDG rules treat alike (as they do
// a relative folder).
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
}  // namespace

std::unique_ptr<HistoryStore> OpenHistory(const std::string& location) {
  if (NamesServer(location)) return std::make_unique<PostgresHistory>(location);
  return std::make_unique<SqliteHistory>(location);
}

std::string DefaultHistoryLocation() {
  if (std::string chosen = Environment("VELLUMA_HISTORY"); !chosen.empty()) return chosen;
  std::string data = Environment("XDG_DATA_HOME");
  if (!data.starts_with('/')) data = Environment("HOME") + "/.local/share";
  return data + "/Quillem/Velluma/history.db";
}

}  // namespace velluma::history
