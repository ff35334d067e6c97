// The uninstall data under Wine, byte for byte: the blocks appended to an uninstall program
// in place of its end header, file records relative to InstallDir or absolute in the real
// System, Windows, Fonts and Desktop folders, and the group shortcuts' block.
#include <gtest/gtest.h>

#include <string>

#include "base/byte_order.h"
#include "base/file_io.h"
#include "engine/install_state.h"
#include "engine/uninstall_data.h"
#include "links_fixture.h"

using namespace links_test;

namespace {

// The size of the uninstall program in these tests.
constexpr uint32_t UNINSTALLER_SIZE = 42753;
constexpr uint32_t END_HEADER_AT = UNINSTALLER_SIZE - BLOCK_HEADER_SIZE;

// An uninstall program as installed: filler bytes that end in the BLOCK_END header.
std::string MakeUninstaller(const ScratchFolder& folder) {
  std::vector<uint8_t> bytes(UNINSTALLER_SIZE, 0x90);
  StoreU16LE(&bytes[END_HEADER_AT], BLOCK_END);
  StoreU16LE(&bytes[END_HEADER_AT + 2], 0);
  StoreU32LE(&bytes[END_HEADER_AT + 4], 0);
  const std::string path = folder.Sub("uninst.exe");
  const FileHandle file = FileCreate(path.c_str());
  FileWrite(file, bytes.data(), uint32_t(bytes.size()));
  FileClose(file);
  return path;
}

// Runs write with a writer on the opened uninstall program; a reader at from (its old end
// header).
template <typename Write>
FieldReader Appended(const std::string& uninstaller, Write write, size_t from = END_HEADER_AT) {
  UninstallWriter writer;
  writer.file = FileOpen(uninstaller.c_str(), OPEN_READ_WRITE);
  write(&writer);
  FileClose(writer.file);
  EXPECT_FALSE(writer.failed);
  return FieldReader(FileBytes(uninstaller), from);
}

// The next file record as "directory|name|flags".
std::string NextFileRecord(FieldReader& reader) {
  std::string directory = reader.Counted(), name = reader.Counted();
  return directory + "|" + name + "|" + std::to_string(reader.U8());
}

// Reads the next block header, expecting tag and flags 0; returns its size.
uint32_t BlockSize(FieldReader& reader, uint16_t tag) {
  EXPECT_EQ(reader.U16(), tag);
  EXPECT_EQ(reader.U16(), 0u);
  return reader.U32();
}

// The files block, and the records it noted as created (in Created).
uint32_t createdIndexes[64];
CreatedRecords Created;
void WriteFiles(UninstallWriter* writer) {
  Created = {createdIndexes, 0};
  WriteUninstallFiles(writer, &Created);
}
std::vector<uint32_t> CreatedIndexes() { return std::vector<uint32_t>(createdIndexes, createdIndexes + Created.count); }

FileRecord Record(const std::string& name, uint8_t installMode, uint8_t dirCode = DIR_INSTALL) {
  FileRecord record;
  record.name = name;
  record.installMode = installMode;
  record.dirCode = dirCode;
  return record;
}

TEST(UninstallFiles, HeaderReplacesTheEndHeaderAndTheCountFollowsIt) {
  LinkSession session;
  ScratchFolder folder("empty");
  CopyPath(InstallDir, folder.Sub("Demo").c_str());
  session.LoadTable({});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  EXPECT_EQ(reader.Position(), 42745u);
  EXPECT_EQ(BlockSize(reader, UNINSTALL_FILES), UNINSTALL_COUNT_FIELD);
  EXPECT_EQ(reader.Position(), 42753u);
  EXPECT_EQ(reader.U32(), 0u);
  EXPECT_EQ(reader.Size(), 42757u);
  EXPECT_EQ(std::string(InstallDir), folder.Sub("Demo\\"));
}

TEST(UninstallFiles, InstalledFilesAndTheDesktopShortcutInTableOrder) {
  LinkSession session;
  ScratchFolder folder("example");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  FileRecord program = Record("demo.exe", MODE_REMOVE);
  program.desktopShortcut = "Demo";
  session.LoadTable({program, Record("Help\\guide.hlp", MODE_REMOVE),
                     Record("demo.ini", MODE_KEEP, DIR_WINDOWS)},
                    {STATUS_CREATED, STATUS_REPLACED, STATUS_CREATED}, {ENTRY_MARK_DESKTOP_LINK});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  EXPECT_EQ(BlockSize(reader, UNINSTALL_FILES), reader.Size() - UNINSTALLER_SIZE);
  EXPECT_EQ(reader.U32(), 3u);
  EXPECT_EQ(NextFileRecord(reader), ".|demo.exe|0");
  EXPECT_EQ(NextFileRecord(reader), ShellFolder(CSIDL_DESKTOP) + "|Demo.lnk|0");
  EXPECT_EQ(NextFileRecord(reader), ".\\Help|guide.hlp|0");
  EXPECT_EQ(reader.Position(), reader.Size());
}

TEST(UninstallFiles, FilesNotInstalledOrKeptAreNotListedButTheirSavedDesktopShortcutsAre) {
  LinkSession session;
  ScratchFolder folder("not-installed");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  FileRecord kept = Record("kept.exe", MODE_KEEP);
  kept.desktopShortcut = "Kept";  // made for every file, so removed with the application
  FileRecord unsaved = Record("unsaved.exe", MODE_KEEP);
  unsaved.desktopShortcut = "Unsaved";  // its link could not be saved: a file of that name is not ours
  session.LoadTable({Record("none.dll", MODE_REMOVE), Record("failed.dll", MODE_REMOVE), kept,
                     Record("beside.dat", MODE_EXTERNAL), unsaved},
                    {STATUS_NONE, STATUS_NOT_PLACED, STATUS_CREATED, STATUS_CREATED, STATUS_CREATED},
                    {0, 0, ENTRY_MARK_DESKTOP_LINK, 0, 0});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  BlockSize(reader, UNINSTALL_FILES);
  EXPECT_EQ(reader.U32(), 1u);
  EXPECT_EQ(NextFileRecord(reader), ShellFolder(CSIDL_DESKTOP) + "|Kept.lnk|0");
  EXPECT_EQ(reader.Position(), reader.Size());
}

TEST(UninstallFiles, SharedFontAndSelfRegisteredFilesCarryTheirFlags) {
  LinkSession session;
  ScratchFolder folder("flags");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  std::vector<FileRecord> records = {Record("lodrun-shared.dll", MODE_REMOVE, DIR_SYSTEM),
                                     Record("lodrun-server.dll", MODE_REMOVE, DIR_SYSTEM),
                                     Record("lodrun.ttf", MODE_REMOVE, DIR_FONTS),
                                     Record("lodrun-shared.ttf", MODE_REMOVE, DIR_FONTS),
                                     Record("own.dll", MODE_REMOVE),
                                     Record("server.dll", MODE_REMOVE)};
  for (size_t i : {0, 1, 3, 4}) records[i].shared = 1;  // own.dll's count is not raised
  for (size_t i : {1, 5}) records[i].registration = REGISTER_COM_SERVER;
  session.LoadTable(records, std::vector<uint16_t>(records.size(), STATUS_CREATED));
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  BlockSize(reader, UNINSTALL_FILES);
  EXPECT_EQ(reader.U32(), 6u);
  const std::string system = test_setups::SystemFolder(), fonts = ShellFolder(CSIDL_FONTS);
  EXPECT_EQ(NextFileRecord(reader), system + "|lodrun-shared.dll|1");
  EXPECT_EQ(NextFileRecord(reader), system + "|lodrun-server.dll|5");
  EXPECT_EQ(NextFileRecord(reader), fonts + "|lodrun.ttf|2");
  EXPECT_EQ(NextFileRecord(reader), fonts + "|lodrun-shared.ttf|3");
  EXPECT_EQ(NextFileRecord(reader), ".|own.dll|0");
  EXPECT_EQ(NextFileRecord(reader), ".|server.dll|4");
}

TEST(UninstallFiles, CreatedFilesAreNotedAndFontsThatWereThereAreNotListed) {
  LinkSession session;
  ScratchFolder folder("created");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  session.LoadTable({Record("old.ttf", MODE_REMOVE, DIR_FONTS), Record("new.ttf", MODE_REMOVE, DIR_FONTS),
                     Record("replaced.dll", MODE_REMOVE, DIR_SYSTEM), Record("new.dll", MODE_REMOVE, DIR_SYSTEM),
                     Record("demo.exe", MODE_REMOVE)},
                    {STATUS_REPLACED, STATUS_CREATED, STATUS_REPLACED, STATUS_CREATED, STATUS_CREATED});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  BlockSize(reader, UNINSTALL_FILES);
  EXPECT_EQ(reader.U32(), 4u);
  EXPECT_EQ(NextFileRecord(reader), ShellFolder(CSIDL_FONTS) + "|new.ttf|2");
  EXPECT_EQ(NextFileRecord(reader), test_setups::SystemFolder() + "|replaced.dll|0");
  EXPECT_EQ(NextFileRecord(reader), test_setups::SystemFolder() + "|new.dll|0");
  EXPECT_EQ(CreatedIndexes(), (std::vector<uint32_t>{0, 2, 3}));
}

// Counts raised for files that no record lists as shared: a kept file, one not removed with
// the application; not one whose record carries the shared flag.
TEST(UninstallCounts, CountsRaisedForFilesNotListedAreWrittenByPath) {
  LinkSession session;
  ScratchFolder folder("counts");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  FileRecord listed = Record("listed.dll", MODE_REMOVE, DIR_WINDOWS), kept = Record("kept.dll", MODE_KEEP, DIR_WINDOWS),
             older = Record("older.dll", MODE_REMOVE, DIR_WINDOWS);
  for (FileRecord* r : {&listed, &kept, &older}) r->shared = 1;
  session.LoadTable({listed, kept, older, Record("plain.dll", MODE_KEEP, DIR_WINDOWS)},
                    {STATUS_CREATED, STATUS_CREATED, STATUS_NONE, STATUS_CREATED},
                    {ENTRY_MARK_COUNT_RAISED, ENTRY_MARK_COUNT_RAISED, ENTRY_MARK_COUNT_RAISED, 0});
  FieldReader reader = Appended(MakeUninstaller(folder), [](UninstallWriter* writer) {
    WriteFiles(writer);
    WriteCountsBlock(writer);
  });
  reader.Skip(BlockSize(reader, UNINSTALL_FILES));
  const uint32_t size = BlockSize(reader, UNINSTALL_COUNTS);
  const std::string keptPath = test_setups::WindowsFolder() + "\\kept.dll";
  const std::string olderPath = test_setups::WindowsFolder() + "\\older.dll";
  EXPECT_EQ(reader.U32(), 2u);
  EXPECT_EQ(reader.Counted(), keptPath);
  EXPECT_EQ(reader.Counted(), olderPath);
  EXPECT_EQ(size, UNINSTALL_COUNT_FIELD + 2 * COUNTED_STRING_LENGTH_FIELD + keptPath.size() + olderPath.size());
  EXPECT_EQ(reader.Position(), reader.Size());
}

TEST(UninstallFiles, UninstallProgramElsewhereGetsEveryRecordAbsolute) {
  LinkSession session;
  ScratchFolder folder("elsewhere");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  CopyPath(UninstallPath, folder.Sub("Demo\\bin\\uninst.exe").c_str());  // relative records would be read from bin
  session.LoadTable({Record("demo.exe", MODE_REMOVE)}, {STATUS_CREATED});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteFiles);
  BlockSize(reader, UNINSTALL_FILES);
  EXPECT_EQ(reader.U32(), 1u);
  EXPECT_EQ(NextFileRecord(reader), folder.Sub("Demo") + "|demo.exe|0");
  UninstallPath[0] = '\0';
}

TEST(UninstallRecord, DoubledSeparatorsAndDotPartsAreWrittenAsTheReaderReadsThem) {
  LinkSession session;
  ScratchFolder folder("normalised");
  CopyPath(InstallDir, "C:\\Apps\\Demo\\");
  const std::string data = folder.Sub("records.dat");
  UninstallWriter writer;
  writer.file = FileCreate(data.c_str());
  CopyPath(TargetPath, "C:\\Apps\\Demo\\.\\docs\\\\two.txt");
  EXPECT_TRUE(WriteUninstallFileRecord(&writer, TargetPath, 0));
  CopyPath(TargetPath, "C:\\Windows\\\\sub\\.\\demo.ini");
  EXPECT_TRUE(WriteUninstallFileRecord(&writer, TargetPath, 0));
  CopyPath(TargetPath, "C:\\Apps\\Demo\\what?.txt");  // no file can have that name: never listed
  EXPECT_FALSE(WriteUninstallFileRecord(&writer, TargetPath, 0));
  FileClose(writer.file);
  FieldReader reader(FileBytes(data), 0);
  EXPECT_EQ(NextFileRecord(reader), ".\\docs|two.txt|0");
  EXPECT_EQ(NextFileRecord(reader), "C:\\Windows\\sub|demo.ini|0");
  EXPECT_EQ(reader.Position(), reader.Size());
}

TEST(UninstallRecord, InstallDirMatchesWithoutCaseAndOtherPathsStayAbsolute) {
  LinkSession session;
  ScratchFolder folder("record");
  CopyPath(InstallDir, "C:\\Apps\\Demo\\");
  const std::string data = folder.Sub("records.dat");
  UninstallWriter writer;
  writer.file = FileCreate(data.c_str());
  CopyPath(TargetPath, "c:\\APPS\\demo\\Data\\Maps\\world.map");
  WriteUninstallFileRecord(&writer, TargetPath, 0);
  CopyPath(TargetPath, (test_setups::WindowsFolder() + "\\demo.ini").c_str());
  WriteUninstallFileRecord(&writer, TargetPath, UNINSTALL_SHARED);
  FileClose(writer.file);
  FieldReader reader(FileBytes(data), 0);
  EXPECT_EQ(NextFileRecord(reader), ".\\Data\\Maps|world.map|0");
  EXPECT_EQ(NextFileRecord(reader), test_setups::WindowsFolder() + "|demo.ini|1");
  EXPECT_EQ(reader.Position(), reader.Size());
}

TEST(UninstallData, CountedStringIsItsByteCountAndCharactersWithoutTerminator) {
  ScratchFolder folder("counted");
  const std::string data = folder.Sub("strings.dat");
  UninstallWriter writer;
  writer.file = FileCreate(data.c_str());
  WriteCountedString(&writer, "");
  WriteCountedString(&writer, "abc");
  FileClose(writer.file);
  EXPECT_EQ(FileBytes(data), (std::vector<uint8_t>{0, 0, 3, 0, 'a', 'b', 'c'}));
}

TEST(UninstallData, AppKeyBlockHoldsTheLocalMachineRootAndTheCountedKeyPath) {
  ScratchFolder folder("app-key");
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
  FieldReader reader = Appended(MakeUninstaller(folder), [&](UninstallWriter* writer) {
    FileSeek(writer->file, END_HEADER_AT);
    WriteAppKeyBlock(writer, key.c_str());
    WriteUninstallEnd(writer);
  });
  EXPECT_EQ(BlockSize(reader, UNINSTALL_APP_KEY), 62u);
  EXPECT_EQ(reader.U32(), UNINSTALL_ROOT_LOCAL_MACHINE);
  EXPECT_EQ(reader.Counted(), key);
  EXPECT_EQ(key.size(), 56u);
  EXPECT_EQ(BlockSize(reader, BLOCK_END), 0u);
  EXPECT_EQ(reader.Position(), reader.Size());
}

FileRecord GroupRecord(const std::string& name, const std::string& group,
                       const std::string& shortcut) {
  FileRecord record = Record(name, MODE_REMOVE);
  record.groupFolder = group;
  record.groupShortcut = shortcut;
  return record;
}

TEST(GroupShortcuts, BlockRecordsEveryLinkMadeInTableOrder) {
  OleApartment ole;
  LinkSession session;
  ScratchFolder folder("groups");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards tools(programs + "\\Lodrun Tools"), readme(programs + "\\Lodrun Readme.lnk");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  FileRecord program = GroupRecord("demo.exe", "Lodrun Tools\\Demo", "Demo");
  program.groupArguments = "/demo";
  program.iconIndex = 3;
  session.LoadTable({program, Record("demo.dll", MODE_REMOVE),
                     GroupRecord("readme.txt", "", "Lodrun Readme")});
  FieldReader reader = Appended(MakeUninstaller(folder), WriteGroupShortcuts, UNINSTALLER_SIZE);
  EXPECT_EQ(BlockSize(reader, UNINSTALL_SHORTCUTS),
            reader.Size() - UNINSTALLER_SIZE - BLOCK_HEADER_SIZE);
  EXPECT_EQ(reader.U32(), 2u);
  EXPECT_EQ(reader.Counted(), programs + "\\Lodrun Tools\\Demo");
  EXPECT_EQ(reader.Counted(), "Demo.lnk");
  EXPECT_EQ(reader.Counted(), programs);
  EXPECT_EQ(reader.Counted(), "Lodrun Readme.lnk");
  EXPECT_EQ(reader.Position(), reader.Size());
  const LinkFields link = ReadLink(programs + "\\Lodrun Tools\\Demo\\Demo.lnk");
  EXPECT_EQ(link.path, folder.Sub("Demo\\demo.exe"));
  EXPECT_EQ(link.arguments, "/demo");
  EXPECT_EQ(link.iconIndex, 3);
  EXPECT_EQ(ReadLink(readme.path).path, folder.Sub("Demo\\readme.txt"));
}

TEST(GroupShortcuts, NoBlockWithoutARecordThatHasAShortcut) {
  OleApartment ole;
  LinkSession session;
  ScratchFolder folder("no-groups");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  session.LoadTable({Record("demo.exe", MODE_REMOVE)});
  const std::string uninstaller = MakeUninstaller(folder);
  Appended(uninstaller, WriteGroupShortcuts);
  EXPECT_EQ(FileBytes(uninstaller).size(), UNINSTALLER_SIZE);
}

TEST(GroupShortcuts, BlockThatRecordedNothingIsCutOffAgain) {
  OleApartment ole;
  LinkSession session;
  ScratchFolder folder("group-cut");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  const std::string overlong(PATH_BUFFER_SIZE - 1, 'g');  // no room under Programs
  session.LoadTable({GroupRecord("demo.exe", overlong, "Demo")});
  const std::string uninstaller = MakeUninstaller(folder);
  Appended(uninstaller, WriteGroupShortcuts);
  EXPECT_EQ(FileBytes(uninstaller).size(), UNINSTALLER_SIZE);
}

TEST(GroupShortcuts, WithoutAFileTheLinksAreMadeAllTheSame) {
  OleApartment ole;
  LinkSession session;
  ScratchFolder folder("group-no-file");
  RemovedAfterwards link(ShellFolder(CSIDL_PROGRAMS) + "\\Lodrun Demo.lnk");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  session.LoadTable({GroupRecord("demo.exe", "", "Lodrun Demo")});
  WriteGroupShortcuts(nullptr);
  EXPECT_TRUE(Exists(link.path));
}

TEST(UninstallData, BlocksFollowEachOtherUpToTheEndHeader) {
  OleApartment ole;
  LinkSession session;
  ScratchFolder folder("sequence");
  RemovedAfterwards link(ShellFolder(CSIDL_PROGRAMS) + "\\Lodrun Demo.lnk");
  CopyPath(InstallDir, folder.Sub("Demo\\").c_str());
  session.LoadTable({GroupRecord("demo.exe", "", "Lodrun Demo")}, {STATUS_CREATED});
  FieldReader reader = Appended(MakeUninstaller(folder), [](UninstallWriter* writer) {
    WriteFiles(writer);
    WriteGroupShortcuts(writer);
    WriteAppKeyBlock(writer, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo");
    WriteUninstallEnd(writer);
  });
  for (uint16_t tag : {UNINSTALL_FILES, UNINSTALL_SHORTCUTS, UNINSTALL_APP_KEY}) {
    const uint32_t size = BlockSize(reader, tag);
    EXPECT_EQ(reader.U32(), tag == UNINSTALL_APP_KEY ? UNINSTALL_ROOT_LOCAL_MACHINE : 1u);
    for (uint32_t skipped = UNINSTALL_COUNT_FIELD; skipped < size; ++skipped) reader.U8();
  }
  EXPECT_EQ(BlockSize(reader, BLOCK_END), 0u);
  EXPECT_EQ(reader.Position(), reader.Size());
}

}  // namespace
