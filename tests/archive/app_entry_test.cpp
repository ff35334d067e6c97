// BLOCK_APP_ENTRY loaded into Archive.appEntry: its fields and texts as written, a setup
// without it listing nothing beyond the name, and a block whose texts do not end inside it
// refused before anything reads them as C strings.
#include "archive/app_entry.h"
#include "setup_file.h"

namespace {

using AppEntryBlock = SetupFileTest;

std::vector<uint8_t> Entry(uint16_t record, uint16_t index, const std::string& texts) {
  std::vector<uint8_t> block = {uint8_t(record), uint8_t(record >> 8), uint8_t(index), uint8_t(index >> 8)};
  block.insert(block.end(), texts.begin(), texts.end());
  return block;
}

TEST_F(AppEntryBlock, FieldsAndTextsAreReadAsWrittenCompressedOrNot) {
  for (bool compress : {false, true}) {
    ArchiveWriter writer(FakeImage());
    writer.AddLoadedBlock(BLOCK_APP_ENTRY, Entry(3, 0xFFFE, std::string("2.1\0Makers\0https://a.test/\0", 27)), compress);
    writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);
    ASSERT_TRUE(Load(writer.Finish())) << compress;
    EXPECT_TRUE(HasAppEntry());
    EXPECT_STREQ(AppEntryText(APP_ENTRY_VERSION), "2.1");
    EXPECT_STREQ(AppEntryText(APP_ENTRY_PUBLISHER), "Makers");
    EXPECT_STREQ(AppEntryText(APP_ENTRY_URL), "https://a.test/");
    EXPECT_EQ(AppEntryIconRecord(), 3u);
    EXPECT_EQ(AppEntryIconIndex(), -2);
    EXPECT_EQ(Archive.SetupFlags, 1u);  // the walk goes on behind it
    FreeSetupArchive();
    EXPECT_FALSE(HasAppEntry());
  }
}

TEST_F(AppEntryBlock, SetupWithoutItHasNoTextsAndNoIcon) {
  ArchiveWriter writer(FakeImage());
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_FALSE(HasAppEntry());
  EXPECT_STREQ(AppEntryText(APP_ENTRY_URL), "");
  EXPECT_EQ(AppEntryIconRecord(), uint32_t(APP_ENTRY_NO_ICON));
}

TEST_F(AppEntryBlock, BlockWhoseTextsDoNotEndInsideItIsRefused) {
  const std::string longest(PATH_BUFFER_SIZE - 1, 'v');
  const std::vector<std::vector<uint8_t>> refused = {
      {0x00, 0x00, 0x00},                                  // shorter than its fields
      Entry(0, 0, std::string("1.0\0Makers\0", 11)),       // the third text is missing
      Entry(0, 0, std::string("1.0\0Makers\0https", 16)),  // the third has no terminator
      Entry(0, 0, longest + 'v' + std::string("\0\0\0", 3)),  // longer than a path buffer holds
  };
  for (const std::vector<uint8_t>& block : refused) {
    ArchiveWriter writer(FakeImage());
    writer.AddLoadedBlock(BLOCK_APP_ENTRY, block, false);
    EXPECT_EQ(LoadStatusOf(writer.Finish()), LOAD_BAD_VALUE) << block.size();
    EXPECT_FALSE(HasAppEntry());
  }
  EXPECT_TRUE(AppEntryFits(Entry(0, 0, longest + std::string("\0\0\0", 3)).data(), 4 + 259 + 3));
}

}  // namespace
