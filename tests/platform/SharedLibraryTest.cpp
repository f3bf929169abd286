#include <gtest/gtest.h>

#include "platform/SharedLibrary.h"

namespace velluma {
namespace {

TEST(SharedLibraryTest, EntryPointsAreFoundByNameAndTheLibraryIsReleasedWithItsOwner) {
  SharedLibrary math;
#ifdef _WIN32
  ASSERT_TRUE(math.Load("msvcrt.dll")) << math.LastError();
#else
  ASSERT_TRUE(math.Load("libm.so.6")) << math.LastError();
#endif
  auto cosine = reinterpret_cast<double (*)(double)>(math.Symbol("cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(math.Symbol("NoSuchEntryPoint"), nullptr);

  SharedLibrary moved = std::move(math);
  EXPECT_FALSE(math.IsLoaded());
  EXPECT_TRUE(moved.IsLoaded());
  moved.Unload();
  EXPECT_EQ(moved.Symbol("cos"), nullptr);
}

TEST(SharedLibraryTest, AMissingLibrarySaysWhy) {
  SharedLibrary missing;
  EXPECT_FALSE(missing.Load("/nonexistent/EyeOne.so"));
  EXPECT_NE(missing.LastError().find("EyeOne.so"), std::string::npos);
  EXPECT_EQ(missing.Symbol("I1_IsConnected"), nullptr);
}

}  // namespace
}  // namespace velluma
