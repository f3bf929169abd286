#pragma once

#include <stdexcept>

namespace velluma {

// A text that does not convert to the number asked for. Like a settings failure it is not
// caught by the procedures: the top-level handler shows its text and the program goes on.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace velluma
