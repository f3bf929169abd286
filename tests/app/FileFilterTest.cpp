#include <gtest/gtest.h>

#include "app/FileFilter.h"

namespace velluma {
namespace {

TEST(FileFilterTest, WindowsFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFileFilters("text File (*.txt)|*.txt|All Files(*.*)|*.*"),
            (QStringList{"text File (*.txt) (*.txt)", "All Files(*.*) (*)"}));
  EXPECT_EQ(QtFileFilters("CSV File (*.csv)|*.csv*|All Files(*.*)|*.*").front(),
            "CSV File (*.csv) (*.csv*)");
  EXPECT_EQ(QtFileFilters("Both|*.cub;*.cube").front(), "Both (*.cub *.cube)");
  EXPECT_TRUE(QtFileFilters("").isEmpty());
}

}  // namespace
}  // namespace velluma
