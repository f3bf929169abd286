#pragma once

#include <functional>
#include <string>

namespace velluma {

// How a driver shows a message box of its own (text, caption, flags); returns the button.
using MessageBoxFunction =
    std::function<int(const std::string& text, const std::string& caption, int flags)>;

}  // namespace velluma
