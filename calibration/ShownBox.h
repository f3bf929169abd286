#pragma once

#include <string>

namespace velluma {

// A message box a procedure showed: its text, caption and flags (Dialogs::kOk, kError, ...).
struct ShownBox {
  std::string text;
  std::string caption;
  int flags = 0;

  bool operator==(const ShownBox&) const = default;
};

}  // namespace velluma
