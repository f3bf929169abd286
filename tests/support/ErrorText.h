#pragma once

#include <functional>
#include <string>

namespace velluma::test {

// The message of the `Error` that `action` throws; "no error" when it throws none. Any other
// exception goes on to the test, which fails with it.
template <typename Error>
std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace velluma::test
