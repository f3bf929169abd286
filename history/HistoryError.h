#pragma once

#include <stdexcept>
#include <string>

namespace velluma::history {

// Any failure of the run history, as one line that names the store and says what happened:
// "history /x/h.db: database is locked".
class HistoryError : public std::runtime_error {
 public:
  HistoryError(const std::string& where, const std::string& what)
      : std::runtime_error("history " + where + ": " + what) {}
};

}  // namespace velluma::history
