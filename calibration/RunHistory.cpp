#include "calibration/RunHistory.h"

#include "history/OpenHistory.h"

namespace velluma {

std::string DefaultHistoryLocation() {
  return history::DefaultHistoryLocation();
}

std::optional<std::string> NoHistoryReason(const std::string& location) {
  return history::NoHistoryReason(location);
}

std::unique_ptr<history::HistoryStore> OpenHistoryStore(const std::string& location,
                                                        history::OpenFor use) {
  return history::OpenHistory(location, use);
}

}  // namespace velluma
