// The gradient's blue levels, computed without 64-bit division, against the exact formula.
#include <gtest/gtest.h>

#include <cstdint>

#include "session/background.h"

namespace {

int ExactBlue(int64_t y, int64_t height) { return int(255 - 255 * y * y / (height * height)); }

TEST(GradientBlue, MatchesTheExactFormulaOnEveryRowOfCommonHeights) {
  for (int32_t height : {1, 2, 3, 7, 8, 480, 599, 600, 768, 1024, 1080, 1200, 1440, 2160, 4104,
                         4105, 4320}) {
    for (int32_t y = 0; y < height; ++y) {
      ASSERT_EQ(GradientBlue(y, height), ExactBlue(y, height)) << "row " << y << " of " << height;
    }
  }
}

TEST(GradientBlue, StaysExactUpToTheLargestHeight) {
  constexpr int32_t height = 0xFFFF;
  for (int32_t y : {1, 255, 256, 4096, 32767, 46341, 65000, height - 2, height - 1}) {
    EXPECT_EQ(GradientBlue(y, height), ExactBlue(y, height)) << "row " << y;
  }
}

TEST(GradientBlue, EdgesAndTallerAreasFallFromBrightToBlack) {
  EXPECT_EQ(GradientBlue(0, 0), 0);
  EXPECT_EQ(GradientBlue(5, -3), 0);
  EXPECT_EQ(GradientBlue(600, 600), 0);
  EXPECT_EQ(GradientBlue(-4, 600), 255);
  // Beyond 65,535 rows the levels are those of a halved area: still falling, never wrapping.
  int previous = 255;
  for (int32_t y = 0; y < 300000; y += 997) {
    const int blue = GradientBlue(y, 300000);
    ASSERT_LE(blue, previous) << "row " << y;
    EXPECT_NEAR(blue, ExactBlue(y, 300000), 1) << "row " << y;
    previous = blue;
  }
}

}  // namespace
