// The disk check's arithmetic: whole clusters, the largest file counted once more, growth
// only, and free space that stays meaningful beyond 32 bits.
#include <gtest/gtest.h>

#include "engine/space_requirement.h"

namespace {

constexpr uint32_t CLUSTER_4K = 4;

TEST(SpaceRequirement, NewFilesAndTheLargestOnceMoreInWholeClusters) {
  SpaceRequirement requirement(CLUSTER_4K);
  EXPECT_EQ(requirement.Padded(1), 4096u);
  EXPECT_EQ(requirement.Padded(4097), 8192u);
  EXPECT_EQ(requirement.Padded(0), 0u);
  for (uint32_t size : {1u, 5000u}) {
    requirement.CountLargest(size);
    requirement.AddNewFile(size);
  }
  EXPECT_EQ(requirement.TotalKB(), 20u);  // 4 + 8, and the 8 of the largest again
  EXPECT_TRUE(requirement.FitsIn(21));
  EXPECT_FALSE(requirement.FitsIn(20));  // equal is not enough
}

TEST(SpaceRequirement, ReplacedFileCountsItsGrowthOnly) {
  SpaceRequirement grows(CLUSTER_4K);
  grows.AddReplacedFile(20000, 10000);
  EXPECT_EQ(grows.TotalKB(), 8u);  // 20 KB less 12 KB
  SpaceRequirement shrinks(CLUSTER_4K);
  shrinks.AddReplacedFile(10000, 20000);
  shrinks.AddNewFile(1);
  EXPECT_EQ(shrinks.TotalKB(), 4u);  // nothing given back
}

TEST(SpaceRequirement, UnknownFreeSpacePasses) {
  SpaceRequirement requirement(CLUSTER_4K);
  requirement.AddNewFile(0xFFFFFFFFu);
  EXPECT_TRUE(requirement.FitsIn(FREE_SPACE_UNKNOWN));
  EXPECT_FALSE(requirement.FitsIn(1000));
}

TEST(SpaceRequirement, SizesAddUpPastFourGibibytes) {
  SpaceRequirement requirement(CLUSTER_4K);
  for (int i = 0; i < 3; ++i) requirement.AddNewFile(0xF0000000u);
  EXPECT_EQ(requirement.TotalKB(), 3ull * 0xF0000000u / 1024);
  EXPECT_FALSE(requirement.FitsIn(4u * 1024 * 1024));  // 4 GiB free is not enough
}

TEST(SpaceRequirement, ClusterThatIsNoPowerOfTwoIsPaddedToTheNextOne) {
  SpaceRequirement requirement(3);  // 3 KB clusters: counted as 4 KB
  EXPECT_EQ(requirement.Padded(1), 4096u);
}

TEST(FreeSpace, TerabyteDrivesKeepTheirSize) {
  // 4 KiB clusters: 2^28 free clusters are 1 TiB, 2^30 KB; 32-bit products overflow here.
  EXPECT_EQ(FreeKBFromGeometry(512, 8, 1u << 28), 1u << 30);
  EXPECT_EQ(FreeKBFromGeometry(4096, 128, 0xFFFFFFF0u), FREE_SPACE_MAX_KB);  // capped
  EXPECT_EQ(FreeKBFromGeometry(512, 1, 3), 1u);  // 1.5 KB truncates
}

TEST(FreeSpace, ClusterSizeCountsAnyPartOfAKilobyteAsWhole) {
  EXPECT_EQ(ClusterKBFromGeometry(512, 8), 4u);
  EXPECT_EQ(ClusterKBFromGeometry(512, 1), 1u);
  EXPECT_EQ(ClusterKBFromGeometry(512, 3), 2u);
}

}  // namespace
