// Installing and uninstalling leave the machine's own files as they were: a shared file that
// was there before keeps its place, a file outside the installation folder goes only when the
// setup created it, nothing of the user's goes because the setup met it (a locked file passed
// over, a link that could not be saved, a font that was there), the names users write install
// and go completely, and a damaged uninstall program is never registered.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/registrations.h"
#include "installations.h"
#include "support/fixtures/fixtures.h"

using namespace uninstall_test;

namespace {

constexpr char APP[] = "Lodrun Safe Removal";
constexpr char GROUP[] = "Lodrun Safe Group";
constexpr char SHARED_NAME[] = "lodrun_safe_shared.dll";
constexpr char FONT_NAME[] = "LodrunSafeSans.ttf";
constexpr DWORD COPY_DONE_MS = 30000;

std::string SharedFile() { return SystemFolder() + "\\" + SHARED_NAME; }
std::string FontFile() { return FontsFolder() + "\\" + FONT_NAME; }
std::string Group() { return ShellFolder(CSIDL_PROGRAMS) + "\\" + GROUP; }
std::string WindowsFile(const char* name) { return WindowsFolder() + "\\" + name; }

void SetSharedValue(const std::string& path, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &key) != ERROR_SUCCESS) return;
  if (data == nullptr) {
    RegDeleteValueA(key, path.c_str());
  } else {
    RegSetValueExA(key, path.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  }
  RegCloseKey(key);
}

void Put(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fputs(text.c_str(), file);
  std::fclose(file);
}

std::string Read(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadTestFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class SafeRemoval : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    Clean();
    HKEY key = nullptr;  // every Windows has it
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &key) == ERROR_SUCCESS) RegCloseKey(key);
  }
  void TearDown() override {
    Clean();
    CoUninitialize();
  }
  void Clean() {
    RemoveTree(folder_);
    RemoveTree(Group());
    for (const std::string& path : {SharedFile(), WindowsFile("lodrun_safe_new.ini"), WindowsFile("lodrun_safe_old.ini")}) {
      DeleteFileA(path.c_str());
      SetSharedValue(path, 0, nullptr, 0);
    }
    RemoveFontResourceA(FontFile().c_str());
    DeleteFileA(FontFile().c_str());
    DeleteMachineKey(Key(APP));
  }
  WizardOptions Options(const std::vector<FileInput>& files, const std::string& appName = APP) {
    WizardOptions options;
    options.appName = appName;
    options.files = {Uninstaller(appName)};
    options.files.insert(options.files.end(), files.begin(), files.end());
    return options;
  }
  void Install(const WizardOptions& options) {
    RunningSetup setup;
    ASSERT_TRUE(StartInstallation(options, folder_, &setup));
    std::string why;
    ASSERT_TRUE(FinishInstallation(setup, options.appName, &why)) << why;
  }
  // The silent uninstall that the entry names; true when it and its temporary copy are done.
  bool Uninstall(const std::string& appName = APP) {
    const std::string program = MachineString(Key(appName), "UninstallString");
    return !program.empty() && RunProgram(program, "/S") == 0 &&
           WaitUntil([&] { return !Exists(program); }, COPY_DONE_MS);
  }
  FileInput SharedDll() {
    FileInput shared = File(SHARED_NAME, ReadTestFile(FixturePath("fixture_v2_0.dll")), DIR_SYSTEM);
    shared.record.shared = 1;
    return shared;
  }
  const std::string folder_ = TestDirectory() + "safe-removal";
};

TEST_F(SafeRemoval, SystemFileThatWasThereWithoutACountStays) {
  Put(SharedFile(), "the system's own copy");
  ASSERT_NO_FATAL_FAILURE(Install(Options({SharedDll()})));
  EXPECT_EQ(SharedCount(SharedFile()), SHARED_COUNT_OF_UNCOUNTED_FILE);
  ASSERT_TRUE(Uninstall());
  EXPECT_TRUE(Exists(SharedFile()));
  EXPECT_EQ(SharedCount(SharedFile()), 1u);
}

TEST_F(SafeRemoval, MissingSharedDllsKeyIsMadeAndTheNewFileGoesWithItsCount) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY);
  ASSERT_NO_FATAL_FAILURE(Install(Options({SharedDll()})));
  EXPECT_EQ(SharedCount(SharedFile()), 1u);
  ASSERT_TRUE(Uninstall());
  EXPECT_FALSE(Exists(SharedFile()));
  EXPECT_EQ(SharedCount(SharedFile()), 0u);
}

TEST_F(SafeRemoval, CountThatCannotBeReadKeepsTheSharedFile) {
  ASSERT_NO_FATAL_FAILURE(Install(Options({SharedDll()})));
  ASSERT_EQ(SharedCount(SharedFile()), 1u);
  SetSharedValue(SharedFile(), REG_SZ, "1", 2);  // not a count
  ASSERT_TRUE(Uninstall());
  EXPECT_TRUE(Exists(SharedFile()));
}

// A shared file the application keeps: its count went up, so it goes down again; the file stays.
TEST_F(SafeRemoval, CountRaisedForAKeptSharedFileGoesDownAgain) {
  FileInput kept = SharedDll();
  kept.record.installMode = MODE_KEEP;
  ASSERT_NO_FATAL_FAILURE(Install(Options({kept})));
  ASSERT_EQ(SharedCount(SharedFile()), 1u);
  ASSERT_TRUE(Uninstall());
  EXPECT_EQ(SharedCount(SharedFile()), 0u);
  EXPECT_TRUE(Exists(SharedFile()));
}

TEST_F(SafeRemoval, WindowsFolderFileGoesOnlyWhenTheSetupCreatedIt) {
  Put(WindowsFile("lodrun_safe_old.ini"), "[user]");
  ASSERT_NO_FATAL_FAILURE(Install(Options({File("lodrun_safe_new.ini", Pattern(30, 1), DIR_WINDOWS),
                                           File("lodrun_safe_old.ini", Pattern(30, 2), DIR_WINDOWS)})));
  ASSERT_TRUE(Exists(WindowsFile("lodrun_safe_new.ini")));
  ASSERT_TRUE(Uninstall());
  EXPECT_FALSE(Exists(WindowsFile("lodrun_safe_new.ini")));
  EXPECT_TRUE(Exists(WindowsFile("lodrun_safe_old.ini")));  // replaced, so someone else's before
}

TEST_F(SafeRemoval, LockedFilePassedOverStaysTheUsers) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  Put(folder_ + "\\data.bin", "the user's");
  RunningSetup setup;
  {
    FileLocker locker(folder_ + "\\data.bin");
    ASSERT_TRUE(locker.Locked());
    ASSERT_TRUE(StartInstallation(Options({File("data.bin", Pattern(300, 3))}), folder_, &setup));
    EXPECT_NE(AnswerMessageBox(setup.process, IDIGNORE).find("data.bin"), std::string::npos);
    ASSERT_TRUE(FinishInstallation(setup, APP));
  }
  ASSERT_TRUE(Uninstall());
  EXPECT_EQ(Read(folder_ + "\\data.bin"), "the user's");
}

TEST_F(SafeRemoval, GroupLinkThatCouldNotBeSavedLeavesTheUsersFileOfItsName) {
  CreateDirectoryA(Group().c_str(), nullptr);
  Put(Group() + "\\Tool.lnk", "the user's");
  FileInput tool = File("tool.exe", Pattern(100, 4));
  tool.record.groupFolder = GROUP;
  tool.record.groupShortcut = "Tool";
  {
    FileLocker locker(Group() + "\\Tool.lnk");
    ASSERT_TRUE(locker.Locked());
    ASSERT_NO_FATAL_FAILURE(Install(Options({tool})));
  }
  ASSERT_TRUE(Uninstall());
  EXPECT_EQ(Read(Group() + "\\Tool.lnk"), "the user's");
}

TEST_F(SafeRemoval, FontThatWasThereStaysWithoutTheDiskCheck) {
  ASSERT_TRUE(CopyFileA(FontFixturePath().c_str(), FontFile().c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(Install(Options({File(FONT_NAME, ReadTestFile(FontFixturePath()), DIR_FONTS)})));
  ASSERT_TRUE(Uninstall());
  EXPECT_TRUE(Exists(FontFile()));
}

// A flipped byte in the uninstall program's stream: the run fails on its checksum and the
// application is not listed with a program that would call itself damaged.
TEST_F(SafeRemoval, DamagedUninstallProgramIsNeverRegistered) {
  WizardOptions options = Options({File("tool.exe", Pattern(100, 5))});
  options.defaultDir = folder_;
  options.startPage = PROGRESS_PAGE;
  std::vector<uint8_t> setupBytes = WizardSetup(options);
  const std::vector<uint8_t>& program = options.files[0].content;
  const auto slice = program.begin() + std::ptrdiff_t(program.size() / 2);
  const auto at = std::search(setupBytes.begin(), setupBytes.end(), slice, slice + 64);
  ASSERT_NE(at, setupBytes.end());
  *at ^= 0x20;
  CreateDirectoryA(folder_.c_str(), nullptr);
  RunningSetup setup;
  ASSERT_TRUE(StartSetup(WriteTestFile("damaged uninstaller setup.exe", setupBytes), &setup));
  const HWND box = WaitForMessageBox(setup.process);  // a single page tells it in a box
  if (box != nullptr) Capture::OfWindow(box).Save("single-page-failure");
  const std::string failure = AnswerMessageBox(setup.process, IDOK);
  EXPECT_NE(failure.find("was damaged while it was copied"), std::string::npos) << failure;
  EXPECT_NE(failure.find(folder_ + "\\uninst.exe"), std::string::npos) << failure;
  Click(setup.frame, ID_CANCEL);
  EXPECT_EQ(FinishProgram(setup.process), 0u);
  EXPECT_FALSE(MachineKeyExists(Key(APP)));
  EXPECT_FALSE(Exists(folder_ + "\\tool.exe"));
}

// What other writers may put in a record, and what users name things: installed, then gone.
TEST_F(SafeRemoval, NamesUsersWriteInstallAndGoCompletely) {
  const std::string longName = "Lodrun " + std::string(KEY_NAME_MAX - 7, 'L');
  for (const std::string& appName : {std::string("Demo: Gold Edition?"), std::string("O'Brien's Caf\xE9"), longName}) {
    FileInput tool = File("bin\\O'Brien's tool v1.2.exe", Pattern(100, 6));
    tool.record.groupFolder = std::string(GROUP) + "/Gold Edition";  // as another writer may spell it
    tool.record.groupShortcut = "What's new (v2)";
    tool.record.desktopShortcut = "Lodrun Safe Caf\xE9";
    std::vector<FileInput> files = {tool, File("docs\\\\two.txt", Pattern(10, 7)),
                                    File(".\\docs\\readme.txt", Pattern(10, 8)), File("caf\xE9.notes.txt", Pattern(10, 9))};
    ASSERT_NO_FATAL_FAILURE(Install(Options(files, appName))) << appName;
    ASSERT_TRUE(Exists(folder_ + "\\docs\\two.txt")) << appName;
    ASSERT_TRUE(Exists(Group() + "\\Gold Edition\\What's new (v2).lnk")) << appName;
    EXPECT_TRUE(Uninstall(appName)) << appName;
    // The temporary copy removes the folder just after the uninstall program's own file.
    EXPECT_TRUE(WaitUntil([&] { return !Exists(folder_); }, COPY_DONE_MS)) << appName;
    EXPECT_FALSE(Exists(Group())) << appName;
    EXPECT_FALSE(Exists(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Lodrun Safe Caf\xE9.lnk")) << appName;
    EXPECT_FALSE(MachineKeyExists(Key(appName))) << appName;
    DeleteMachineKey(Key(appName));
  }
}

}  // namespace
