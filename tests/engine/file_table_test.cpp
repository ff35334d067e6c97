// File records read in place: strings behind the fixed fields and the optional version
// block, and the walk of the installation run over the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/setup_archive.h"
#include "builder/setup/file_records.h"
#include "engine/file_table.h"
#include "engine/install_state.h"

namespace {

FileRecord Named(const std::string& name) {
  FileRecord record;
  record.name = name;
  return record;
}

// The table's bytes, set up as the loader leaves them.
class FileTable : public testing::Test {
 protected:
  void Use(const std::vector<FileRecord>& records) {
    table_ = FileTableContent(records);
    Archive.fileTable = table_.data();
    Archive.fileCount = static_cast<uint32_t>(records.size());
    Archive.firstEntry = table_.data() + FILE_TABLE_COUNT_FIELD;
  }
  void TearDown() override { Archive = SetupArchive{}; }
  std::vector<uint8_t> table_;
};

TEST_F(FileTable, StringsFollowTheFixedFieldsWithoutVersionBlock) {
  FileRecord record = Named("readme12.txt");  // 12, 9, 19, 0, 0, 0 characters
  record.groupFolder = "Lodrun Go";
  record.groupShortcut = "Read me before use!";
  Use({record});
  const FileEntry* entry = FirstEntry();
  EXPECT_EQ(+entry->recordLength, 72u);
  EXPECT_FALSE(HasVersionBlock(entry));
  EXPECT_STREQ(EntryString(entry, ENTRY_NAME), "readme12.txt");
  EXPECT_STREQ(EntryString(entry, ENTRY_GROUP_FOLDER), "Lodrun Go");
  EXPECT_STREQ(EntryString(entry, ENTRY_GROUP_SHORTCUT), "Read me before use!");
  EXPECT_STREQ(EntryString(entry, ENTRY_DESKTOP_ARGUMENTS), "");
}

TEST_F(FileTable, LanguageCheckAloneBringsTheVersionBlock) {
  FileRecord record = Named("lang.dll");
  record.flags = FE_LANGUAGE_CHECK;
  record.language = 0x0407;
  record.fileVersionMS = 0x00020001;
  record.desktopShortcut = "Lang";
  Use({record});
  const FileEntry* entry = FirstEntry();
  ASSERT_TRUE(HasVersionBlock(entry));
  EXPECT_EQ(EntryString(entry, ENTRY_NAME) - reinterpret_cast<const char*>(entry), 46);
  EXPECT_EQ(+EntryVersion(entry)->language, 0x0407u);
  EXPECT_EQ(+EntryVersion(entry)->fileVersionMS, 0x00020001u);
  EXPECT_STREQ(EntryString(entry, ENTRY_DESKTOP_SHORTCUT), "Lang");
}

TEST_F(FileTable, FixedFieldsAreReadAtTheirOffsets) {
  FileRecord record = Named("a.exe");
  record.iconIndex = 3;
  record.dirCode = DIR_FONTS;
  record.installMode = MODE_REMOVE;
  record.checksum = 0x01020304;
  record.size = 70000;
  record.packedSize = 1234;
  Use({record});
  const FileEntry* entry = FirstEntry();
  EXPECT_EQ(+entry->iconIndex, 3u);
  EXPECT_EQ(EntryDirCode(entry), DIR_FONTS);
  EXPECT_EQ(EntryInstallMode(entry), MODE_REMOVE);
  EXPECT_EQ(+entry->checksum, 0x01020304u);
  EXPECT_EQ(+entry->size, 70000u);
  EXPECT_EQ(+entry->packedSize, 1234u);
  EXPECT_EQ(+entry->status, STATUS_NONE);
}

TEST_F(FileTable, UnknownCodesReadAsInstallDirectoryAndKeep) {
  FileRecord record = Named("odd.txt");
  record.dirCode = 7;
  record.installMode = 9;
  Use({record});
  EXPECT_EQ(EntryDirCode(FirstEntry()), DIR_INSTALL);
  EXPECT_EQ(EntryInstallMode(FirstEntry()), MODE_KEEP);
}

TEST_F(FileTable, WalkVisitsEveryRecordInOrderWithItsIndex) {
  Use({Named("one"), Named("two"), Named("three")});
  std::vector<std::string> visited;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    visited.push_back(std::to_string(walk.index) + ":" + EntryString(walk.entry, ENTRY_NAME));
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"0:one", "1:two", "2:three"}));
}

TEST_F(FileTable, WalkOverAnEmptyTableVisitsNothing) {
  Use({});
  EXPECT_FALSE(EntryWalk().More());
}

TEST_F(FileTable, EntryAtIsTheRecordOfThatIndex) {
  Use({Named("one"), Named("two"), Named("three")});
  EXPECT_EQ(EntryAt(0), FirstEntry());
  EXPECT_STREQ(EntryString(EntryAt(1), ENTRY_NAME), "two");
  EXPECT_STREQ(EntryString(EntryAt(2), ENTRY_NAME), "three");
}

TEST_F(FileTable, RunTakesEveryRecordInOrderThenEnds) {
  Use({Named("one"), Named("two"), Named("three")});
  EntryCursor = FirstEntry();
  EntryIndex = ENTRY_INDEX_NONE;
  std::vector<std::string> taken;
  while (FileEntry* entry = TakeNextEntry()) taken.push_back(EntryString(entry, ENTRY_NAME));
  EXPECT_EQ(taken, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(EntryIndex, 3u);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(EntryCursor), table_.data() + table_.size());
}

}  // namespace
