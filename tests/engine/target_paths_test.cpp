// Target paths under Wine: each directory code and install mode against the real Windows,
// System and Fonts folders, shared files placed where the version library points, and paths
// that would outgrow their buffer.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "engine/file_table.h"
#include "engine/target_paths.h"
#include "engine_fixture.h"

using namespace engine_test;

namespace {

// Resolves the one record of a fresh table; TargetPath holds the path.
TargetResult Resolve(const FileRecord& record) {
  LoadFileTable({record});
  return ResolveTargetPath(FirstEntry());
}

FileRecord External(const std::string& name, uint8_t dirCode = DIR_INSTALL) {
  FileRecord record = Record(name, dirCode);
  record.installMode = MODE_EXTERNAL;
  return record;
}

TEST(TargetPath, InstallDirGetsOneBackslashWithOrWithoutItsOwn) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  EXPECT_EQ(Resolve(Record("readme.txt")), TARGET_RESOLVED);
  EXPECT_STREQ(TargetPath, "C:\\Apps\\Demo\\readme.txt");
  CopyPath(InstallDir, "C:\\Apps\\Demo\\");
  EXPECT_EQ(Resolve(Record("readme.txt")), TARGET_RESOLVED);
  EXPECT_STREQ(TargetPath, "C:\\Apps\\Demo\\readme.txt");
}

TEST(TargetPath, EveryUnknownDirCodeMeansInstallDir) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  for (uint8_t dirCode : {uint8_t(DIR_INSTALL), uint8_t(4), uint8_t(7), uint8_t(255)}) {
    EXPECT_EQ(Resolve(Record("demo.exe", dirCode)), TARGET_RESOLVED) << int(dirCode);
    EXPECT_STREQ(TargetPath, "C:\\Apps\\Demo\\demo.exe") << int(dirCode);
  }
}

TEST(TargetPath, NameWithSubdirectoriesKeepsThemUnderInstallDir) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  EXPECT_EQ(Resolve(Record("data\\maps\\world.map")), TARGET_RESOLVED);
  EXPECT_STREQ(TargetPath, "C:\\Apps\\Demo\\data\\maps\\world.map");
}

TEST(TargetPath, ExternalFileLiesBesideTheSetupWhateverItsDirCode) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  CopyPath(SourcePath, "D:\\Media\\Disk1\\setup.exe");
  EXPECT_EQ(Resolve(External("docs\\manual.pdf")), TARGET_RESOLVED);
  EXPECT_STREQ(TargetPath, "D:\\Media\\Disk1\\docs\\manual.pdf");
  EXPECT_EQ(Resolve(External("tools.dll", DIR_SYSTEM)), TARGET_RESOLVED);
  EXPECT_STREQ(TargetPath, "D:\\Media\\Disk1\\tools.dll");
}

TEST(TargetPath, WindowsFilesGoToTheWindowsDirectory) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  EXPECT_EQ(Resolve(Record("demo.ini", DIR_WINDOWS)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), WindowsDirectory() + "\\demo.ini");
}

TEST(TargetPath, NewSharedFileGoesToTheSystemDirectory) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  const std::string expected = SystemDirectory() + "\\lodrun-new-shared.dll";
  ASSERT_FALSE(Exists(expected));
  EXPECT_EQ(Resolve(Record("lodrun-new-shared.dll", DIR_SYSTEM)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), expected);
}

// Under Wine the version library proposes the System directory for every shared file, so the
// copy found there is the one that can be shown.
TEST(TargetPath, SharedFileFoundWhereTheVersionLibraryPointsIsNamedThere) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  PlacedFile copy(SystemDirectory(), "lodrun-found-shared.dll");
  EXPECT_EQ(Resolve(Record("lodrun-found-shared.dll", DIR_SYSTEM)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), copy.Path());
}

TEST(TargetPath, SharedCopyInTheApplicationDirectoryIsNotItsTarget) {
  EngineSession session;
  ScratchDirectory dir("sharedapp");
  dir.MakeFile("lodrun-app-shared.dll", 16);
  CopyPath(InstallDir, dir.Path().c_str());
  EXPECT_EQ(Resolve(Record("lodrun-app-shared.dll", DIR_SYSTEM)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), SystemDirectory() + "\\lodrun-app-shared.dll");
}

TEST(TargetPath, FontsGoToTheFontsFolder) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps\\Demo");
  EXPECT_EQ(Resolve(Record("demo.ttf", DIR_FONTS)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), WindowsDirectory() + "\\Fonts\\demo.ttf");
}

TEST(TargetPath, PathOfTheBuffersLengthIsTooLongAndLeftEmpty) {
  EngineSession session;
  GuardedPath guard(TargetPath);
  const std::string name = "readme.txt";
  // InstallDir, a backslash and the name: 259 characters fit with the terminator, 260 do not.
  const std::string longest = "C:\\" + std::string(PATH_BUFFER_SIZE - 1 - 3 - 1 - name.size(), 'd');
  CopyPath(InstallDir, longest.c_str());
  EXPECT_EQ(Resolve(Record(name)), TARGET_RESOLVED);
  EXPECT_EQ(std::string(TargetPath), longest + "\\" + name);
  CopyPath(InstallDir, (longest + "d").c_str());
  EXPECT_EQ(Resolve(Record(name)), TARGET_TOO_LONG);
  EXPECT_STREQ(TargetPath, "");
  EXPECT_TRUE(guard.GuardIntact());
}

TEST(TargetPath, LongNameIsTooLongInEveryFolder) {
  EngineSession session;
  CopyPath(InstallDir, "C:\\Apps");
  CopyPath(SourcePath, "D:\\Media\\Disk1\\setup.exe");
  GuardedPath guard(TargetPath);
  const std::string name = std::string(PATH_BUFFER_SIZE - 12, 'n') + ".dll";
  for (FileRecord record : {Record(name, DIR_WINDOWS), Record(name, DIR_SYSTEM),
                            Record(name, DIR_FONTS), External(name)}) {
    EXPECT_EQ(Resolve(record), TARGET_TOO_LONG) << int(record.dirCode);
    EXPECT_STREQ(TargetPath, "") << int(record.dirCode);
  }
  EXPECT_TRUE(guard.GuardIntact());
}

}  // namespace
