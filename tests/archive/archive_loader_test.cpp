// Loading the setup archive: the walk over the header blocks and what each block fills.
#include <cstring>

#include "base/byte_order.h"
#include "base/memory.h"
#include "builder/setup/file_records.h"
#include "setup_file.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

using ArchiveLoader = SetupFileTest;

TEST_F(ArchiveLoader, EndBlockAloneLoadsWithEveryFieldEmpty) {
  ArchiveWriter writer(FakeImage());
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.SetupFlags, 0u);
  EXPECT_EQ(Archive.startPage, START_PAGE_ALL);
  EXPECT_EQ(Archive.fileTable, nullptr);
  EXPECT_EQ(Archive.templates, nullptr);
  for (auto* list : Archive.pageTexts) EXPECT_EQ(list, nullptr);
  EXPECT_STREQ(InstallDir, "");
  EXPECT_EQ(Archive.DataAreaOffset, 512u + BLOCK_HEADER_SIZE);
  EXPECT_EQ(Archive.VolumeSize, 0u);
  EXPECT_STREQ(VolumePath, SourcePath);
}

TEST_F(ArchiveLoader, DataAreaSizeAndOffsetComeFromEndBlock) {
  ArchiveWriter writer(FakeImage());
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 3);
  writer.SetDataArea(std::vector<uint8_t>(1000, 7));
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.DataAreaOffset, 512u + 2 * BLOCK_HEADER_SIZE + 4);
  EXPECT_EQ(Archive.VolumeSize, 1000u);
  EXPECT_EQ(Archive.DataRemaining, 1000u);
}

TEST_F(ArchiveLoader, UnknownTagsUnusedTagAndCodePageNoteAreSkippedBySize) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_UNUSED, BLOCK_FLAG_COMPRESSED, std::vector<uint8_t>(77, 0xFF));
  writer.AddU16Block(BLOCK_CODE_PAGE, 1251);  // the builder's own note: nothing to the program
  writer.AddRawBlock(0x4242, 0xFFFF, Bytes("whatever it holds"));
  writer.AddRawBlock(0x0000, 0, std::vector<uint8_t>(5000, 0x12));
  writer.AddU32Block(BLOCK_DIR_REG_ROOT, 2);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.dirRegRoot, 2u);
}

TEST_F(ArchiveLoader, ZeroSizeBlocksAreSkippedWithoutReading) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_SETUP_FLAGS, 0, {});
  writer.AddRawBlock(BLOCK_APP_NAME, BLOCK_FLAG_COMPRESSED, {});
  writer.AddRawBlock(BLOCK_PAGE_TEXTS, 0, {});
  writer.AddU16Block(BLOCK_START_PAGE, 3);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.SetupFlags, 0u);
  EXPECT_EQ(Archive.appName, nullptr);
  EXPECT_EQ(Archive.startPage, 3u);
}

TEST_F(ArchiveLoader, EndBlockOfSizeZeroEndsWalkWithoutDataArea) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_END, 0, {});
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);  // behind the end: never read
  std::vector<uint8_t> file = writer.Finish();
  ASSERT_TRUE(Load(file));
  EXPECT_EQ(Archive.DataAreaOffset, 0u);
  EXPECT_EQ(Archive.VolumeSize, 0u);
  EXPECT_EQ(Archive.SetupFlags, 0u);
}

TEST_F(ArchiveLoader, RawValuesIgnoreTheCompressedFlag) {
  ArchiveWriter writer(FakeImage());
  writer.AddRawBlock(BLOCK_SETUP_FLAGS, BLOCK_FLAG_COMPRESSED, {0x03, 0x00, 0x00, 0x00});
  writer.AddRawBlock(BLOCK_DIR_REG_ROOT, BLOCK_FLAG_COMPRESSED, {0x04, 0x01, 0x00, 0x00});
  writer.AddRawBlock(BLOCK_START_PAGE, BLOCK_FLAG_COMPRESSED, {0x06, 0x00});
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.SetupFlags, 3u);
  EXPECT_EQ(Archive.dirRegRoot, 0x104u);
  EXPECT_EQ(Archive.startPage, 6u);
}

TEST_F(ArchiveLoader, StartPageBeyondLastPageIsRefused) {
  for (uint16_t page : {uint16_t(7), uint16_t(100), uint16_t(0xFFFE)}) {
    ArchiveWriter writer(FakeImage());
    writer.AddU16Block(BLOCK_START_PAGE, page);
    EXPECT_FALSE(Load(writer.Finish())) << page;
    FreeSetupArchive();
  }
  ArchiveWriter writer(FakeImage());
  writer.AddU16Block(BLOCK_START_PAGE, START_PAGE_ALL);
  EXPECT_TRUE(Load(writer.Finish()));
}

TEST_F(ArchiveLoader, LoadedBlocksGoToTheirFields) {
  ArchiveWriter writer(FakeImage());
  writer.AddStringBlock(BLOCK_APP_NAME, "Example", false);
  writer.AddStringBlock(BLOCK_BACKGROUND_TITLE, "Title", false);
  writer.AddStringBlock(BLOCK_DIR_REG_KEY, "Software\\Vendor", false);
  writer.AddStringBlock(BLOCK_DIR_REG_VALUE, "Path", false);
  writer.AddStringBlock(BLOCK_DIR_INI_FILE, "win.ini", false);
  writer.AddStringBlock(BLOCK_DIR_INI_SECTION, "Section", false);
  writer.AddStringBlock(BLOCK_DIR_INI_KEY, "Key", false);
  writer.AddLoadedBlock(BLOCK_WIZARD_IMAGE, {1, 2, 3}, false);
  writer.AddLoadedBlock(BLOCK_BACKGROUND_IMAGE, {4, 5}, false);
  writer.AddLoadedBlock(BLOCK_SPARE, {6}, false);
  writer.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, std::vector<uint8_t>(40, 9), false);
  writer.AddStringBlock(BLOCK_DEFAULT_DIR, "#P\\Example", false);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_STREQ(Archive.appName, "Example");
  EXPECT_STREQ(Archive.backgroundTitle, "Title");
  EXPECT_STREQ(Archive.dirRegKey, "Software\\Vendor");
  EXPECT_STREQ(Archive.dirRegValue, "Path");
  EXPECT_STREQ(Archive.dirIniFile, "win.ini");
  EXPECT_STREQ(Archive.dirIniSection, "Section");
  EXPECT_STREQ(Archive.dirIniKey, "Key");
  EXPECT_EQ(std::vector<uint8_t>(Archive.wizardImage, Archive.wizardImage + 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Archive.backgroundImage[1], 5);
  EXPECT_EQ(Archive.spare[0], 6);
  EXPECT_EQ(Archive.templatesSize, 40u);
  EXPECT_STREQ(InstallDir, "#P\\Example");
}

TEST_F(ArchiveLoader, FileTableOfCountZeroPointsBehindItsCount) {
  ArchiveWriter writer(FakeImage());
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, {0, 0, 0, 0}, false);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.fileCount, 0u);
  EXPECT_EQ(Archive.firstEntry, Archive.fileTable + 4);
  EXPECT_EQ(MemSize(Archive.fileTable), 4u);
}

TEST_F(ArchiveLoader, FileTableCountAndFirstEntry) {
  ArchiveWriter writer(FakeImage());
  FileRecord first;
  first.name = "first.txt";
  FileRecord second;
  second.name = "second.txt";
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, FileTableContent({first, second}), false);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(Archive.fileCount, 2u);
  EXPECT_EQ(LoadU32LE(Archive.firstEntry), RecordLength(first));
  EXPECT_STREQ(reinterpret_cast<const char*>(Archive.firstEntry) + FILE_ENTRY_FIXED_SIZE,
               "first.txt");
}

TEST_F(ArchiveLoader, FileTableWithoutRoomForItsCountIsRefused) {
  ArchiveWriter writer(FakeImage());
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, {1, 0}, false);
  EXPECT_FALSE(Load(writer.Finish()));
}

TEST_F(ArchiveLoader, ImageSizeZeroMeansNoArchive) {
  ArchiveWriter writer(FakeImage());
  EXPECT_FALSE(Load(writer.Finish(), 0));
}

TEST_F(ArchiveLoader, MissingSourceFileFails) {
  SetImageSize(512);
  CopyPath(SourcePath, (testing::TempDir() + "lodrun_no_such_file.exe").c_str());
  EXPECT_FALSE(LoadSetupArchive());
}

// The builder's reader takes the loader's walk with its status: what ended it, VolumePath set
// as for the program, and a file that does not open or ends before the image as a short read.
TEST_F(ArchiveLoader, ReadSetupArchiveTellsWhatEndedTheWalk) {
  ArchiveWriter refused(FakeImage());
  refused.AddU16Block(BLOCK_START_PAGE, 7);
  const std::string path = WriteTempFile("read_status.exe", refused.Finish());
  CopyPath(SourcePath, path.c_str());
  SetImageSize(512);
  EXPECT_EQ(ReadSetupArchive(), LOAD_BAD_VALUE);
  EXPECT_STREQ(VolumePath, SourcePath);
  FreeSetupArchive();
  SetImageSize(100000);
  EXPECT_EQ(ReadSetupArchive(), LOAD_SHORT_READ);
  CopyPath(SourcePath, (testing::TempDir() + "lodrun_no_such_file.exe").c_str());
  SetImageSize(512);
  EXPECT_EQ(ReadSetupArchive(), LOAD_SHORT_READ);
}

TEST_F(ArchiveLoader, TruncatedArchiveFailsAtEveryCut) {
  ArchiveWriter writer(FakeImage());
  writer.AddStringBlock(BLOCK_APP_NAME, "Example application", false);
  writer.AddU32Block(BLOCK_SETUP_FLAGS, 1);
  writer.AddU16Block(BLOCK_START_PAGE, 1);
  std::vector<uint8_t> file = writer.Finish();
  // Every cut before the end block's data size field is complete must fail.
  for (size_t cut = 512; cut < file.size(); ++cut) {
    std::vector<uint8_t> part(file.begin(), file.begin() + cut);
    EXPECT_FALSE(Load(part)) << "cut at " << cut;
    FreeSetupArchive();
  }
  EXPECT_TRUE(Load(file));
}

TEST_F(ArchiveLoader, BlockSizeRunningPastTheFileEndFails) {
  // Sizes that reach past the end, and one that would wrap the position back to the block's
  // own header: each must fail, not walk the archive again.
  for (uint32_t size : {9u, 0x7FFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    ArchiveWriter writer(FakeImage());
    writer.AddRawBlock(0x7777, 0, {1, 2, 3, 4, 5, 6, 7, 8});
    std::vector<uint8_t> file = writer.Finish();
    for (int i = 0; i < 4; ++i) file[512 + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
    file.resize(512 + 8 + 8);  // the block's header and payload, no end block behind it
    EXPECT_FALSE(Load(file)) << "size " << size;
    FreeSetupArchive();
  }
}

TEST_F(ArchiveLoader, ImageSizeBeyondTheFileFails) {
  ArchiveWriter writer(FakeImage());
  EXPECT_FALSE(Load(writer.Finish(), 100000));
}

TEST_F(ArchiveLoader, OverlongDefaultDirIsCutAndTerminated) {
  ArchiveWriter writer(FakeImage());
  std::string dir(300, 'd');
  writer.AddStringBlock(BLOCK_DEFAULT_DIR, dir, false);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_EQ(std::string(InstallDir), dir.substr(0, PATH_BUFFER_SIZE - 1));
}

TEST_F(ArchiveLoader, UnterminatedDefaultDirTakesOnlyItsPayload) {
  ArchiveWriter writer(FakeImage());
  writer.AddLoadedBlock(BLOCK_DEFAULT_DIR, Bytes("C:\\Apps"), false);
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_STREQ(InstallDir, "C:\\Apps");
}

TEST_F(ArchiveLoader, RepeatedTagReplacesEarlierBlock) {
  // The sanitizer build also proves that the earlier blocks are freed.
  ArchiveWriter writer(FakeImage());
  writer.AddStringBlock(BLOCK_APP_NAME, "First", false);
  FileRecord record;
  record.name = "replaced.txt";
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, FileTableContent({record}), false);
  writer.AddStringBlock(BLOCK_APP_NAME, "Second", false);
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, {0, 0, 0, 0}, false);
  writer.AddPageTexts({{"a"}});
  writer.AddPageTexts({{"b", "c"}});
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_STREQ(Archive.appName, "Second");
  EXPECT_EQ(Archive.fileCount, 0u);
  ASSERT_NE(Archive.pageTexts[0], nullptr);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(Archive.pageTexts[0])[0], 2);
}

}  // namespace
