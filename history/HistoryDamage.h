#pragma once

#include <string>
#include <utility>
#include <vector>

#include "history/HistoryError.h"
#include "history/HistoryRecord.h"

namespace velluma::history {

// A history file whose pages are damaged. A query that meets the damage comes with the runs it
// could still read, so that a damaged page hides nothing else.
class HistoryDamage : public HistoryError {
 public:
  HistoryDamage(const std::string& location, const std::string& what,
                std::vector<Record> readable = {})
      : HistoryError(location, what), readable_(std::move(readable)) {}

  // The runs that could still be read, as the query would have returned them.
  const std::vector<Record>& Readable() const { return readable_; }

 private:
  std::vector<Record> readable_;
};

}  // namespace velluma::history
