// The default directory under Wine: read from each registry root or from an INI file,
// trimmed to a directory that exists and spelt as the file system stores it, or built from a
// leading "#" macro; and never past the end of InstallDir.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>

#include "engine/default_dir.h"
#include "engine/target_paths.h"
#include "engine_fixture.h"

using namespace engine_test;

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The registry lookup of the archive: root index, key and value name (null: the default).
void LookUpRegistry(uint32_t root, const std::string& key, const char* value) {
  Archive.dirRegRoot = root;
  Archive.dirRegKey = HeapString(key);
  if (value != nullptr) Archive.dirRegValue = HeapString(value);
}

void LookUpIni(const std::string& file, const std::string& section, const std::string& key) {
  Archive.dirIniFile = HeapString(file);
  Archive.dirIniSection = HeapString(section);
  Archive.dirIniKey = HeapString(key);
}

std::string ResolvedFrom(const std::string& defaultDir) {
  CopyPath(InstallDir, defaultDir.c_str());
  ResolveDefaultDir();
  return InstallDir;
}

// The key is created under root only, so that a lookup in another root does not open it and
// leaves the default.
void ExpectRootIndexReads(uint32_t index, HKEY root, const char* parent) {
  EngineSession session;
  ScratchDirectory dir("root");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(root, parent);
  key.Set("Dir", apps);
  LookUpRegistry(index, key.Name(), "Dir");
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), apps);
}

// Wine lets every one of the four roots be written, HKEY_USERS\.DEFAULT included.
TEST(DefaultDir, RootIndex0IsClassesRoot) { ExpectRootIndexReads(0, HKEY_CLASSES_ROOT, ""); }
TEST(DefaultDir, RootIndex1IsCurrentUser) {
  ExpectRootIndexReads(1, HKEY_CURRENT_USER, "Software\\");
}
TEST(DefaultDir, RootIndex2IsLocalMachine) {
  ExpectRootIndexReads(2, HKEY_LOCAL_MACHINE, "Software\\");
}
TEST(DefaultDir, RootIndex3IsUsers) {
  ExpectRootIndexReads(3, HKEY_USERS, ".DEFAULT\\Software\\");
}
TEST(DefaultDir, OtherRootIndexIsCurrentUser) {
  ExpectRootIndexReads(9, HKEY_CURRENT_USER, "Software\\");
}

TEST(DefaultDir, KeysDefaultValueIsReadWithoutValueName) {
  EngineSession session;
  ScratchDirectory dir("keydefault");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  key.Set(nullptr, apps);
  key.Set("Dir", dir.Path());
  LookUpRegistry(1, key.Name(), nullptr);
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), apps);
}

TEST(DefaultDir, RegistryValueIsTrimmedToAnExistingDirectoryAndStoredCase) {
  EngineSession session;
  ScratchDirectory dir("trim");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  key.Set("Dir", Upper(apps + "\\Demo\\Bin"));
  LookUpRegistry(1, key.Name(), "Dir");
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), apps);
}

TEST(DefaultDir, TrimmingStopsAtAnExistingDirectoryThatIsAPrefixOfAName) {
  EngineSession session;
  ScratchDirectory dir("trimprefix");
  const std::string dem = dir.MakeDirectories("Apps\\Dem");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  key.Set("Dir", dir.Sub("Apps\\Demo\\Bin"));
  LookUpRegistry(1, key.Name(), "Dir");
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), dem);
}

TEST(DefaultDir, KeyWithoutTheValueTrimsTheArchivesDefault) {
  EngineSession session;
  ScratchDirectory dir("novalue");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  const std::string ini = dir.Sub("setup.ini");
  WritePrivateProfileStringA("Paths", "Dir", dir.Path().c_str(), ini.c_str());
  LookUpRegistry(1, key.Name(), "Missing");
  LookUpIni(ini, "Paths", "Dir");
  EXPECT_EQ(ResolvedFrom(apps + "\\Not Yet There"), apps);
}

TEST(DefaultDir, IniValueIsTrimmedToAnExistingDirectory) {
  EngineSession session;
  ScratchDirectory dir("ini");
  const std::string tools = dir.MakeDirectories("Tools");
  const std::string ini = dir.Sub("setup.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("Paths", "Dir", (tools + "\\Demo").c_str(), ini.c_str()));
  LookUpIni(ini, "Paths", "Dir");
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), tools);
}

TEST(DefaultDir, KeyThatDoesNotOpenRulesOutTheIniAndExpandsTheMacro) {
  EngineSession session;
  ScratchDirectory dir("nokey");
  const std::string ini = dir.Sub("setup.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("Paths", "Dir", dir.Path().c_str(), ini.c_str()));
  LookUpRegistry(1, "Software\\LodrunTest\\Never Created", "Dir");
  LookUpIni(ini, "Paths", "Dir");
  EXPECT_EQ(ResolvedFrom("#Windows#Demo"), WindowsDirectory() + "\\Demo");
}

TEST(DefaultDir, RegistryValueLongerThanTheBufferLeavesTheDefault) {
  EngineSession session;
  ScratchDirectory dir("long");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  key.Set("Dir", dir.Path() + "\\" + std::string(300, 'L'));
  LookUpRegistry(1, key.Name(), "Dir");
  GuardedPath guard(InstallDir);
  EXPECT_EQ(ResolvedFrom(apps), apps);
  EXPECT_TRUE(guard.Terminated());
  EXPECT_TRUE(guard.GuardIntact());
}

TEST(DefaultDir, UnterminatedValueFillingTheBufferStaysInsideIt) {
  EngineSession session;
  ScratchDirectory dir("fill");
  const std::string apps = dir.MakeDirectories("Apps");
  TestKey key(HKEY_CURRENT_USER, "Software\\");
  std::string value = apps + "\\";
  value.resize(PATH_BUFFER_SIZE, 'F');  // 260 bytes and no terminator
  key.Set("Dir", value, REG_BINARY);
  LookUpRegistry(1, key.Name(), "Dir");
  GuardedPath guard(InstallDir);
  EXPECT_EQ(ResolvedFrom("C:\\Unused Default"), apps);
  EXPECT_TRUE(guard.GuardIntact());
}

TEST(DefaultDir, ProgramFilesMacroIsTheRegistrysProgramFilesDir) {
  char programFiles[MAX_PATH] = "";
  DWORD size = sizeof programFiles;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                          KEY_READ, &key), ERROR_SUCCESS);
  const LONG read = RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(programFiles), &size);
  RegCloseKey(key);
  ASSERT_EQ(read, ERROR_SUCCESS);
  ASSERT_NE(programFiles[0], '\0');
  EngineSession session;
  EXPECT_EQ(ResolvedFrom("#Program Files#\\Tools\\Demo"),
            std::string(programFiles) + "\\Tools\\Demo");
}

TEST(DefaultDir, MacrosNameTheirFoldersInAnyLetterCase) {
  EngineSession session;
  EXPECT_EQ(ResolvedFrom("#windows#Demo"), WindowsDirectory() + "\\Demo");
  EXPECT_EQ(ResolvedFrom("#SYSTEM#\\Demo\\Bin"), SystemDirectory() + "\\Demo\\Bin");
}

TEST(DefaultDir, UnknownMacroLeavesTheRestAndAnUnclosedOneStays) {
  EngineSession session;
  EXPECT_EQ(ResolvedFrom("#Other#\\Demo"), "Demo");
  EXPECT_EQ(ResolvedFrom("#Windows"), "#Windows");
  EXPECT_EQ(ResolvedFrom("C:\\Apps\\#Windows#"), "C:\\Apps\\#Windows#");
}

TEST(DefaultDir, MacroResultLongerThanTheBufferIsCutAndTerminated) {
  EngineSession session;
  GuardedPath guard(InstallDir);
  const std::string rest(PATH_BUFFER_SIZE - 5, 'R');
  const std::string resolved = ResolvedFrom("#Windows#" + rest);
  EXPECT_EQ(resolved, (WindowsDirectory() + "\\" + rest).substr(0, PATH_BUFFER_SIZE - 1));
  EXPECT_TRUE(guard.GuardIntact());
}

TEST(DefaultDir, StoredNamesGiveTheFileSystemsLetterCase) {
  EngineSession session;
  ScratchDirectory dir("case");
  const std::string stored = dir.MakeDirectories("MixedCase\\Sub Dir");
  char path[PATH_BUFFER_SIZE];
  CopyPath(path, Upper(stored + "\\").c_str());
  MatchStoredNames(path);
  EXPECT_EQ(std::string(path), stored);
}

TEST(DefaultDir, StoredNamesLeaveAPathThatIsNotFoundWhole) {
  EngineSession session;
  ScratchDirectory dir("notfound");
  dir.MakeDirectories("MixedCase");
  const std::string missing = Upper(dir.Sub("MixedCase\\Missing\\Deeper"));
  char path[PATH_BUFFER_SIZE];
  CopyPath(path, missing.c_str());
  MatchStoredNames(path);
  EXPECT_EQ(std::string(path), missing);
  CopyPath(path, "\\\\server\\share\\Apps");
  MatchStoredNames(path);
  EXPECT_STREQ(path, "\\\\server\\share\\Apps");
}

}  // namespace
