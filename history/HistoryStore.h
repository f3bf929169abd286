#pragma once

#include <string>
#include <vector>

#include "history/HistoryFilter.h"
#include "history/HistoryRecord.h"

namespace velluma::history {

// What a history is opened for. Recording makes what it needs (the file, its folder, the schema);
// listing makes and changes nothing: a history that is not there yet is an empty one.
enum class OpenFor { Recording, Listing };

// Where the run history is kept. A record is appended whole or not at all; every failure is a
// HistoryError. One store serves one thread; stations on other threads or computers open their
// own on the same location.
class HistoryStore {
 public:
  virtual ~HistoryStore() = default;

  // Keeps `record` with its figures and sets its id.
  virtual void Append(Record& record) = 0;

  // The records `filter` selects with their figures, newest first.
  virtual std::vector<Record> Query(const Filter& filter) = 0;

  // The file or the server (without its password), for the operator's messages.
  virtual std::string Where() const = 0;
};

}  // namespace velluma::history
