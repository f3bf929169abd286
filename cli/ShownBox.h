#pragma once

#include <string>

namespace velluma::cli {

// A message box a procedure showed: its text, caption and flags (Operator::kOk, kError, ...).
struct ShownBox {
  std::string text;
  std::string caption;
  int flags = 0;

  bool operator==(const ShownBox&) const = default;
};

}  // namespace velluma::cli
