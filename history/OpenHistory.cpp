#include "history/OpenHistory.h"

#include <string_view>

#include "history/HistoryError.h"
#ifdef VELLUMA_HISTORY_STORES
#include "history/SqlHistory.h"
#endif
#include "platform/Environment.h"
#include "platform/Folders.h"

namespace velluma::history {

namespace {
#ifdef VELLUMA_HISTORY_STORES
bool NamesServer(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}
#endif
}  // namespace

#ifdef VELLUMA_HISTORY_STORES
std::unique_ptr<HistoryStore> OpenHistory(const std::string& location, OpenFor use) {
  if (NamesServer(location)) return SqlHistory::OnServer(location, use);
  return SqlHistory::InFile(location, SqlHistory::kBusyTimeout, use);
}
#else
std::unique_ptr<HistoryStore> OpenHistory(const std::string& location, OpenFor) {
  throw HistoryError(location, "this build of Velluma keeps no history");
}
#endif

std::string DefaultHistoryLocation() {
  if (std::string chosen = EnvironmentValue("VELLUMA_HISTORY"); !chosen.empty()) return chosen;
#ifdef VELLUMA_HISTORY_STORES
  return InFolder(OperatorDataFolder(), "history.db");
#else
  return "";  // no history unless one is asked for, which then says it cannot be kept
#endif
}

std::optional<std::string> NoHistoryReason(const std::string& location) {
  if (location.empty()) return "this station keeps no history";
  if (location == "none") return "no history is kept (VELLUMA_HISTORY=none)";
  return std::nullopt;
}

}  // namespace velluma::history
