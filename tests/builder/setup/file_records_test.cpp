// File records as the program reads them, FileChecksum, and the records the builder refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "archive/checksum.h"
#include "base/byte_order.h"
#include "builder/setup/file_records.h"
#include "support/named_record.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> Written(const FileRecord& record) {
  std::vector<uint8_t> out;
  WriteFileRecord(out, record);
  return out;
}

// The message with which CheckFileRecord refuses the record, empty when it accepts it.
std::string Refusal(const FileRecord& record, const std::string& defaultDir = "C:\\App") {
  try {
    CheckFileRecord(record, defaultDir);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

TEST(FileRecords, RecordWithoutVersionBlockIsSeventyTwoBytes) {
  FileRecord record = Named("program.exe1");
  record.groupFolder = "Example A";
  record.groupShortcut = "Example Application";
  std::vector<uint8_t> bytes = Written(record);
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(LoadU32LE(bytes.data() + FILE_ENTRY_RECORD_LENGTH), 72u);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + FILE_ENTRY_FIXED_SIZE), "program.exe1");
  EXPECT_EQ(bytes.back(), 0);
}

TEST(FileRecords, FixedFieldsStandAtTheirOffsets) {
  FileRecord record = Named("a.txt");
  record.iconIndex = 0x1234;
  record.dirCode = DIR_FONTS;
  record.endAction = END_RUN;
  record.shared = 1;
  record.installMode = MODE_REMOVE;
  record.registration = REGISTER_COM_SERVER;
  record.flags = FE_UNINSTALLER;
  record.checksum = 0xA1B2C3D4;
  record.size = 0x01020304;
  record.packedSize = 0x0A0B0C0D;
  std::vector<uint8_t> b = Written(record);
  EXPECT_EQ(LoadU16LE(&b[FILE_ENTRY_STATUS]), STATUS_NONE);
  EXPECT_EQ(LoadU16LE(&b[FILE_ENTRY_ICON_INDEX]), 0x1234);
  EXPECT_EQ(b[FILE_ENTRY_DIR_CODE], DIR_FONTS);
  EXPECT_EQ(b[FILE_ENTRY_END_ACTION], END_RUN);
  EXPECT_EQ(b[FILE_ENTRY_SHARED], 1);
  EXPECT_EQ(b[FILE_ENTRY_INSTALL_MODE], MODE_REMOVE);
  EXPECT_EQ(b[FILE_ENTRY_REGISTRATION], REGISTER_COM_SERVER);
  EXPECT_EQ(b[FILE_ENTRY_FLAGS], FE_UNINSTALLER);
  EXPECT_EQ(LoadU32LE(&b[FILE_ENTRY_CHECKSUM]), 0xA1B2C3D4u);
  EXPECT_EQ(LoadU32LE(&b[FILE_ENTRY_SIZE]), 0x01020304u);
  EXPECT_EQ(LoadU32LE(&b[FILE_ENTRY_PACKED_SIZE]), 0x0A0B0C0Du);
  // "a.txt" and five empty strings, and no version block for FE_UNINSTALLER.
  EXPECT_EQ(b.size(), FILE_ENTRY_FIXED_SIZE + 6 + 5u);
}

TEST(FileRecords, LanguageCheckPutsTheStringsAtOffsetFortySix) {
  FileRecord record = Named("lib.dll");
  record.flags = 0x04;
  record.fileVersionMS = 0x00010002;
  record.language = 0x0409;
  record.desktopArguments = "/q";
  std::vector<uint8_t> b = Written(record);
  EXPECT_STREQ(reinterpret_cast<const char*>(&b[46]), "lib.dll");
  EXPECT_EQ(LoadU32LE(&b[FILE_ENTRY_FIXED_SIZE]), 0x00010002u);
  EXPECT_EQ(LoadU32LE(&b[FILE_ENTRY_FIXED_SIZE + 16]), 0x0409u);
  EXPECT_EQ(b.size(), 46 + 8 + 4 + 3u);
  record.flags = FE_VERSION_CHECK;
  EXPECT_EQ(Written(record).size(), b.size());
}

// list, verify and extract read records back with the writer's layout.
TEST(FileRecords, ReadingAWrittenRecordGivesBackEveryField) {
  FileRecord record = Named("sub\\lib.dll", DIR_SYSTEM);
  record.iconIndex = 7;
  record.installMode = MODE_REMOVE;
  record.flags = FE_VERSION_CHECK | FE_LANGUAGE_CHECK;
  record.checksum = 0xCAFEF00D;
  record.size = 1234;
  record.fileVersionMS = 0x00020001;
  record.fileVersionLS = 0x00040003;
  record.productVersionMS = 0x00060005;
  record.productVersionLS = 0x00080007;
  record.language = 0x0407;
  record.groupFolder = "Tools";
  record.groupShortcut = "Library";
  record.desktopArguments = "/x";
  const FileRecord read = ReadFileRecord(Written(record).data());
  EXPECT_EQ(Written(read), Written(record));
  EXPECT_EQ(read.name, record.name);
  EXPECT_EQ(read.language, 0x0407u);
  EXPECT_EQ(read.productVersionLS, 0x00080007u);
  EXPECT_EQ(read.desktopArguments, "/x");
  record.flags = 0;  // without the version block the strings follow the fixed fields
  EXPECT_EQ(ReadFileRecord(Written(record).data()).groupShortcut, "Library");
}

TEST(FileRecords, TableIsTheCountThenRecordsBackToBack) {
  std::vector<FileRecord> records = {Named("one"), Named("two.txt"), Named("three")};
  records[1].flags = FE_VERSION_CHECK;
  std::vector<uint8_t> table = FileTableContent(records);
  ASSERT_EQ(LoadU32LE(table.data()), 3u);
  size_t at = FILE_TABLE_COUNT_FIELD;
  for (const FileRecord& record : records) {
    ASSERT_LT(at, table.size());
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + at, table.begin() + at + RecordLength(record)),
              Written(record));
    at += LoadU32LE(&table[at]);
  }
  EXPECT_EQ(at, table.size());
}

TEST(FileChecksum, AddsWordsLittleEndianAndRemainingBytesAlone) {
  EXPECT_EQ(FileChecksum({}), 0u);
  EXPECT_EQ(FileChecksum(Bytes("abc")), 0x000002ABu);
  EXPECT_EQ(FileChecksum(Bytes("abcd")), 0x64636261u);
  EXPECT_EQ(FileChecksum(Bytes("abcde")), 0xC8C6C527u);  // 0x64636261 rotated, plus 'e'
  // The top bit rotates round to the bottom; the sum wraps at 2^32.
  EXPECT_EQ(FileChecksum({0, 0, 0, 0x80, 0, 0, 0, 0}), 1u);
  EXPECT_EQ(FileChecksum({0xFF, 0xFF, 0xFF, 0xFF, 1}), 0u);
}

TEST(FileChecksum, SixteenKilobytePiecesGiveTheWholeFileSum) {
  constexpr uint32_t PIECE = 16384;
  std::vector<uint8_t> content(2 * PIECE + 7);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 131 + i / 251);
  uint32_t state = CHECKSUM_START;
  for (uint32_t at = 0; at < content.size(); at += PIECE) {
    uint32_t length = std::min<uint32_t>(PIECE, static_cast<uint32_t>(content.size()) - at);
    state = ChecksumUpdate(content.data() + at, length, state);
  }
  const uint32_t size = static_cast<uint32_t>(content.size());
  EXPECT_EQ(state, ChecksumUpdate(content.data(), size, CHECKSUM_START));
  EXPECT_NE(state, ChecksumUpdate(content.data(), 2 * PIECE, CHECKSUM_START));  // the tail counts
}

TEST(FileRefusals, StringsOfTwoHundredSixtyCharactersNameTheFile) {
  const std::string longest(PATH_BUFFER_SIZE - 1, 'x'), tooLong(PATH_BUFFER_SIZE, 'x');
  FileRecord record = Named("app.exe");
  record.groupArguments = longest;
  EXPECT_EQ(Refusal(record), "");
  record.groupArguments = tooLong;
  EXPECT_NE(Refusal(record).find("file 'app.exe': "), std::string::npos) << Refusal(record);
  EXPECT_NE(Refusal(record).find("260-byte paths"), std::string::npos) << Refusal(record);
  EXPECT_NE(Refusal(Named(tooLong), ""), "");
}

TEST(FileRefusals, TargetUnderTheDefaultDirectoryMustFit) {
  const std::string dir = "C:\\Program Files\\Example";
  const size_t room = MAX_PATH_LENGTH - dir.size() - 1;  // the backslash in between
  EXPECT_EQ(Refusal(Named(std::string(room, 'n')), dir), "");
  std::string refusal = Refusal(Named(std::string(room + 1, 'n')), dir);
  EXPECT_NE(refusal.find("file 'nnn"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("target path"), std::string::npos) << refusal;
}

TEST(FileRefusals, MacrosAndSystemFoldersCountAsTheirReserve) {
  const std::string rest = "\\Example";
  const size_t room = MAX_PATH_LENGTH - (SYSTEM_FOLDER_RESERVE + 1 + rest.size()) - 1;
  EXPECT_EQ(Refusal(Named(std::string(room, 'n')), "#Program Files#" + rest), "");
  EXPECT_NE(Refusal(Named(std::string(room + 1, 'n')), "#Program Files#" + rest), "");
  // Without its closing '#' the text is no macro and counts as written.
  EXPECT_EQ(Refusal(Named(std::string(room + 1, 'n')), "#Program Files" + rest), "");
  const size_t systemRoom = MAX_PATH_LENGTH - SYSTEM_FOLDER_RESERVE - 1;
  for (uint8_t code : {DIR_WINDOWS, DIR_SYSTEM, DIR_FONTS}) {
    EXPECT_EQ(Refusal(Named(std::string(systemRoom, 'n'), code)), "") << int(code);
    EXPECT_NE(Refusal(Named(std::string(systemRoom + 1, 'n'), code)), "") << int(code);
  }
  FileRecord external = Named(std::string(systemRoom + 1, 'n'));
  EXPECT_EQ(Refusal(external), "");
  external.installMode = MODE_EXTERNAL;  // beside the setup, wherever that is
  EXPECT_NE(Refusal(external), "");
}

TEST(FileRefusals, ShortcutPathsMustFitUnderTheirFolders) {
  FileRecord record = Named("app.exe");
  record.groupFolder = std::string(100, 'g');
  record.groupShortcut = std::string(100, 's');
  EXPECT_NE(Refusal(record).find("file 'app.exe': its group shortcut path"), std::string::npos);
  record.groupShortcut = "App";
  EXPECT_EQ(Refusal(record), "");
  record.desktopShortcut = std::string(MAX_PATH_LENGTH - SYSTEM_FOLDER_RESERVE, 'd');
  EXPECT_NE(Refusal(record).find("file 'app.exe': its desktop shortcut path"), std::string::npos);
}

TEST(FileRefusals, NamesMustBeRelativeAndNotEmpty) {
  for (const char* name : {"", "\\app.exe", "/app.exe", "C:app.exe", "D:\\app.exe"}) {
    std::string refusal = Refusal(Named(name));
    EXPECT_EQ(refusal.find(std::string("file '") + name + "': "), 0u) << refusal;
  }
  EXPECT_EQ(Refusal(Named("bin\\app.exe")), "");
}

}  // namespace
