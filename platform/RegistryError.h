#pragma once

#include <stdexcept>
#include <string>

namespace velluma {

// A failed settings access. It is not caught by the procedures: it ends the action in progress
// and reaches the application's top-level handler, which shows its text.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace velluma
