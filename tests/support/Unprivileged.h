#pragma once

#include <functional>
#include <string>

namespace velluma::test {

// Runs `body` as a user without root's override of file permissions: in a child process that
// has become "nobody" when the test runs as root, in the test's own process otherwise. `folder`
// is handed to that user first, so the body can work in it. True when the body returned true.
bool RunUnprivileged(const std::string& folder, const std::function<bool()>& body);

}  // namespace velluma::test
