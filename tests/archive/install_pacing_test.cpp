// BLOCK_INSTALL_PACING loaded into Archive.installPacing: its slice and gap as written, and
// without the block the pacing of setups that never had it (one file per tick, 50 ms apart).
#include "setup_file.h"

namespace {

using InstallPacingBlock = SetupFileTest;

TEST_F(InstallPacingBlock, SetupWithoutItPacesOneFilePerTickFiftyMillisecondsApart) {
  ArchiveWriter writer(FakeImage());
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(PacingSliceMs(Archive.installPacing), 0u);
  EXPECT_EQ(PacingGapMs(Archive.installPacing), 50u);
}

TEST_F(InstallPacingBlock, SliceAndGapAreReadAsWritten) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_INSTALL_PACING, 0, {0x3C, 0x00, 0x05, 0x01});  // 60 ms, 261 ms
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(PacingSliceMs(Archive.installPacing), 60u);
  EXPECT_EQ(PacingGapMs(Archive.installPacing), 261u);
  EXPECT_EQ(Archive.SetupFlags, 1u);  // the walk goes on behind it
}

TEST_F(InstallPacingBlock, FreeingTheArchiveGivesTheDefaultAgain) {
  ArchiveWriter writer(FakeImage());
  writer.AddU32Block(BLOCK_INSTALL_PACING, InstallPacing(70, 2));
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.installPacing, InstallPacing(70, 2));
  FreeSetupArchive();
  EXPECT_EQ(Archive.installPacing, DEFAULT_INSTALL_PACING);
}

}  // namespace
