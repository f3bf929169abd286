#include <gtest/gtest.h>

#include "app/ProgressPanel.h"

namespace velluma {
namespace {

// The station reports levels done; the panel turns them into pixels from its own geometry: the
// bar's right edge is left + width * done / total, truncated.
TEST(ProgressPanelTest, TheBarFollowsTheLevelsDoneInThePanelsGeometry) {
  ProgressPanel panel;
  panel.resize(100, 20);
  const struct {
    int done;
    int width;
  } steps[] = {{0, 0}, {1, 0}, {128, 50}, {129, 50}, {256, 100}};
  for (const auto& step : steps) {
    panel.ShowProgress(step.done, 256);
    EXPECT_EQ(panel.FilledArea(), QRect(0, 0, step.width, 20)) << step.done;
    EXPECT_EQ(panel.FilledColour(), QColor(0, 0, 255));
  }
  panel.Clear();
  EXPECT_EQ(panel.FilledArea(), panel.rect());
  EXPECT_EQ(panel.FilledColour(), panel.palette().color(QPalette::Button));
  ProgressPanel unpainted;
  unpainted.setFixedSize(0, 0);
  unpainted.ShowProgress(200, 256);
  EXPECT_TRUE(unpainted.FilledArea().isEmpty()) << "a panel without a size draws nothing";
}

}  // namespace
}  // namespace velluma
