// GoogleTest's main for tests that need the application object, with no display: Qt's offscreen
// platform on Linux; under Wine its minimal one with the system's fonts, as the Qt for Windows
// that scripts/windows-deps builds has no offscreen platform (that needs FreeType, which it
// leaves out).
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/VellumaApplication.h"
#include "tests/support/Environment.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  constexpr const char* kNoDisplay = "minimal:enable_fonts";
#else
  constexpr const char* kNoDisplay = "offscreen";
#endif
  if (!std::getenv("QT_QPA_PLATFORM")) velluma::test::SetEnvironment("QT_QPA_PLATFORM", kNoDisplay);
  velluma::VellumaApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
