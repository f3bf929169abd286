// GoogleTest's main for tests that need the application object: offscreen, no display needed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/VellumaApplication.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  velluma::VellumaApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
