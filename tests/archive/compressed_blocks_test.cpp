// Compressed header blocks and page-text lists: decoded into blocks of exactly their
// announced size, and refused when the stream is broken or its size is wrong.
#include <cstring>

#include "base/byte_order.h"
#include "builder/setup/file_records.h"
#include "setup_file.h"

namespace {

// One final stored block holding "abc".
const std::vector<uint8_t> kStoredAbc = {0x0F, 0x03, 0x00, 'a', 'b', 'c'};

std::vector<uint8_t> CompressedPayload(uint32_t announced, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> payload;
  PutU32(payload, announced);
  payload.insert(payload.end(), stream.begin(), stream.end());
  return payload;
}

std::string ListString(const PageTexts* list, int n) {
  // u16 count, then the strings back to back
  const char* p = reinterpret_cast<const char*>(list) + PAGE_TEXT_STRING_COUNT_FIELD;
  for (int i = 0; i < n; ++i) p += std::strlen(p) + 1;
  return p;
}

uint16_t ListCount(const PageTexts* list) {
  return LoadU16LE(reinterpret_cast<const uint8_t*>(list));
}

using CompressedBlocks = SetupFileTest;

TEST_F(CompressedBlocks, EveryLoadedTagDecodes) {
  ArchiveWriter writer(FakeImage());
  std::string text(5000, 'x');
  writer.AddStringBlock(BLOCK_APP_NAME, "Example " + text, true);
  writer.AddStringBlock(BLOCK_DEFAULT_DIR, "C:\\Program Files\\Example", true);
  writer.AddStringBlock(BLOCK_DIR_REG_KEY, "Software\\Example", true);
  std::vector<FileRecord> records(3);
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].name = "file" + std::to_string(i) + ".txt";
    records[i].groupArguments = std::string(900, static_cast<char>('a' + i));
  }
  const std::vector<uint8_t> table = FileTableContent(records);
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, table, true);
  writer.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, std::vector<uint8_t>(9000, 1), true);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(std::string(Archive.appName), "Example " + text);
  EXPECT_STREQ(InstallDir, "C:\\Program Files\\Example");
  EXPECT_STREQ(Archive.dirRegKey, "Software\\Example");
  EXPECT_EQ(Archive.fileCount, 3u);
  EXPECT_EQ(std::vector<uint8_t>(Archive.fileTable, Archive.fileTable + table.size()), table);
  EXPECT_EQ(Archive.templatesSize, 9000u);
}

TEST_F(CompressedBlocks, StreamOfExactlyAnnouncedSizeLoads) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_SPARE, BLOCK_FLAG_COMPRESSED, CompressedPayload(3, kStoredAbc));
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(Archive.spare), 3), "abc");
}

TEST_F(CompressedBlocks, StreamOfOtherSizeThanAnnouncedIsRefused) {
  for (uint32_t announced : {0u, 2u, 4u, 100u}) {
    ArchiveWriter writer(FakeImage());
    writer.AddRawBlock(BLOCK_SPARE, BLOCK_FLAG_COMPRESSED, CompressedPayload(announced, kStoredAbc));
    EXPECT_FALSE(Load(writer.Finish())) << announced;
    EXPECT_EQ(Archive.spare, nullptr);
    FreeSetupArchive();
  }
}

TEST_F(CompressedBlocks, BrokenStreamIsRefused) {
  ArchiveWriter writer(FakeImage());
  // Block type 0 does not exist.
  writer.AddRawBlock(BLOCK_APP_NAME, BLOCK_FLAG_COMPRESSED, CompressedPayload(3, {0x00, 0x00}));
  EXPECT_FALSE(Load(writer.Finish()));
  EXPECT_EQ(Archive.appName, nullptr);
}

TEST_F(CompressedBlocks, MissingDecodedSizeIsAShortRead) {
  ArchiveWriter writer(FakeImage());
  std::vector<uint8_t> file = writer.Finish();
  // A compressed block at the very end of the file, with only two bytes of its size field.
  std::vector<uint8_t> cut(file.begin(), file.begin() + 512);
  for (uint8_t b : {0x38, 0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00}) cut.push_back(b);
  EXPECT_FALSE(Load(cut));
}

TEST_F(CompressedBlocks, PageTextsKeepNineListsAndSkipTheRest) {
  std::vector<std::vector<std::string>> lists;
  for (int i = 0; i < 12; ++i) lists.push_back({"Title " + std::to_string(i), "", "third"});
  ArchiveWriter writer(FakeImage());
  writer.AddPageTexts(lists);
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 2);  // read from the right place behind the lists
  ASSERT_TRUE(Load(writer.Finish()));
  for (int i = 0; i < 9; ++i) {
    ASSERT_NE(Archive.pageTexts[i], nullptr) << i;
    EXPECT_EQ(ListCount(Archive.pageTexts[i]), 3);
    EXPECT_EQ(ListString(Archive.pageTexts[i], 0), "Title " + std::to_string(i));
    EXPECT_EQ(ListString(Archive.pageTexts[i], 2), "third");
  }
  EXPECT_EQ(Archive.SetupFlags, 2u);
}

TEST_F(CompressedBlocks, FewerPageTextListsLeaveTheOthersEmpty) {
  ArchiveWriter writer(FakeImage());
  writer.AddPageTexts({{"zero"}, {std::string(20000, 'y')}});
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(ListString(Archive.pageTexts[0], 0), "zero");
  EXPECT_EQ(ListString(Archive.pageTexts[1], 0), std::string(20000, 'y'));
  for (int i = 2; i < 9; ++i) EXPECT_EQ(Archive.pageTexts[i], nullptr);
}

TEST_F(CompressedBlocks, PageTextListOfWrongSizeIsRefused) {
  std::vector<uint8_t> payload;
  PutU16(payload, 1);
  PutU32(payload, 5);  // announces 5 bytes, the stream holds 3
  payload.insert(payload.end(), kStoredAbc.begin(), kStoredAbc.end());
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_PAGE_TEXTS, 0, payload);
  EXPECT_FALSE(Load(writer.Finish()));
}

}  // namespace
