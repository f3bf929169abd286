#pragma once

#include <stdexcept>
#include <string>

#include "history/ShownLocation.h"

namespace velluma::history {

// Any failure of the run history, as one line that names the store and says what happened:
// "history /x/h.db: database is locked". Made from the location as it was given, password and
// all: the line shows neither the location's password nor any other trace of it in `what`.
class HistoryError : public std::runtime_error {
 public:
  HistoryError(const std::string& location, const std::string& what)
      : std::runtime_error(WithoutPasswords("history " + location + ": " + what, location)) {}
};

}  // namespace velluma::history
