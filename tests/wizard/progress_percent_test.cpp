// The percent that the progress page keeps and shows: at most 100, and redrawn only when it
// changes (without a page, nothing is drawn).
#include <gtest/gtest.h>

#include "wizard/progress_page.h"
#include "wizard/wizard.h"

TEST(ProgressPercent, AboveAHundredIsKeptAsAHundred) {
  ProgressPage = nullptr;
  SetProgress(33);
  EXPECT_EQ(ProgressPercent, 33u);
  SetProgress(150);
  EXPECT_EQ(ProgressPercent, 100u);
  SetProgress(0xFFFFFFFFu);  // compared unsigned: no wrap into a small percent
  EXPECT_EQ(ProgressPercent, 100u);
  SetProgress(0);
  EXPECT_EQ(ProgressPercent, 0u);
}
