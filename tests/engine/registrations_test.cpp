// What an installed file registers: its "SharedDLLs" count (also for a kept file), the font
// table, COM self-registration, and its desktop shortcut.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "engine/file_table.h"
#include "engine/registrations.h"
#include "install_run.h"
#include "links_fixture.h"
#include "support/fixtures/fixtures.h"

using namespace engine_test;

namespace {

constexpr char SHARED_NAME[] = "lodrun-shared-test.dll";

// The count of path under "SharedDLLs" and its type; 0 when there is none.
DWORD SharedCount(const std::string& path, DWORD* type = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD count = 0, size = sizeof count, valueType = 0;
  if (RegQueryValueExA(key, path.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(&count),
                       &size) != ERROR_SUCCESS) {
    count = 0;
  }
  RegCloseKey(key);
  if (type != nullptr) *type = valueType;
  return count;
}

void ForgetSharedCount(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, path.c_str());
  RegCloseKey(key);
}

class Registrations : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    sharedPath_ = WindowsDirectory() + "\\" + SHARED_NAME;
    RemoveFile(sharedPath_);
    ForgetSharedCount(sharedPath_);
    HKEY key = nullptr;  // every Windows has it; a fresh prefix may lack it
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &key) == ERROR_SUCCESS) RegCloseKey(key);
  }
  void TearDown() override {
    RemoveFile(sharedPath_);
    ForgetSharedCount(sharedPath_);
    CoUninitialize();
  }
  FileInput Shared(uint8_t flags = 0) {
    FileInput input = Input(SHARED_NAME, Content(2000, 50));
    input.record.dirCode = DIR_WINDOWS;
    input.record.shared = 1;
    input.record.flags = flags;
    input.record.productVersionMS = 0x00010005;
    return input;
  }
  EngineSession session_;
  ScratchDirectory directory_{"registrations"};
  std::string sharedPath_;
};

TEST_F(Registrations, SharedFileCountsOneAsADwordThenTwo) {
  for (DWORD expected = 1; expected <= 2; ++expected) {
    InstallRun run(directory_);
    run.Load({Shared()});
    ASSERT_EQ(run.RunAll(), INSTALL_OK);
    DWORD type = 0;
    EXPECT_EQ(SharedCount(sharedPath_, &type), expected);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    FreeSetupArchive();
  }
}

TEST_F(Registrations, KeptSharedFileIsCountedAllTheSame) {
  ASSERT_TRUE(CopyFileA(FixturePath("fixture_v2_0.dll").c_str(), sharedPath_.c_str(), FALSE));
  InstallRun run(directory_);
  run.Load({Shared(FE_VERSION_CHECK)});
  run.answers = {IDNO};  // keep the newer file
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_EQ(run.asked.size(), 1u);
  EXPECT_EQ(+run.Entry(0)->status, STATUS_NONE);
  // It was there without a count: its owner's use counts once, so removing this
  // installation leaves it.
  EXPECT_EQ(SharedCount(sharedPath_), SHARED_COUNT_OF_UNCOUNTED_FILE);
}

TEST_F(Registrations, UncountedFileThatWasThereStartsAtTwoWhenReplaced) {
  ASSERT_TRUE(CopyFileA(FixturePath("fixture_v2_0.dll").c_str(), sharedPath_.c_str(), FALSE));
  InstallRun run(directory_);
  run.Load({Shared()});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_EQ(+run.Entry(0)->status, STATUS_REPLACED);
  DWORD type = 0;
  EXPECT_EQ(SharedCount(sharedPath_, &type), 2u);
  EXPECT_EQ(type, DWORD(REG_DWORD));
}

TEST_F(Registrations, MissingSharedDllsKeyIsCreatedWithTheCount) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY);
  HKEY key = nullptr;
  ASSERT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
  InstallRun run(directory_);
  run.Load({Shared()});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_EQ(SharedCount(sharedPath_), 1u);
}

TEST_F(Registrations, InstallDirectoryFileIsNeverCounted) {
  FileInput input = Shared();
  input.record.dirCode = DIR_INSTALL;
  InstallRun run(directory_);
  run.Load({input});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_EQ(SharedCount(run.Target(SHARED_NAME)), 0u);
}

TEST_F(Registrations, ComServerIsRegisteredOnceInstalled) {
  RemoveComServerMark();
  FileInput server = Input("server.dll", ReadBytes(FixturePath("fixture_com_server.dll")));
  server.record.registration = REGISTER_COM_SERVER;
  InstallRun run(directory_);
  run.Load({server});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_TRUE(ComServerMarked());
  RemoveComServerMark();
}

// Top-level windows are told when a font was added: this one counts it.
int fontChanges = 0;

LRESULT CALLBACK FontWatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_FONTCHANGE) ++fontChanges;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Registrations, FontIsAddedAndEveryWindowIsTold) {
  WNDCLASSA watcherClass = {};
  watcherClass.lpfnWndProc = FontWatcher;
  watcherClass.lpszClassName = "LodrunTestFontWatcher";
  RegisterClassA(&watcherClass);
  HWND watcher = CreateWindowA(watcherClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(watcher, nullptr);
  FileInput font = Input("LodrunTestSans.ttf", ReadBytes(FontFixturePath()));
  ASSERT_FALSE(font.content.empty());
  font.record.dirCode = DIR_FONTS;
  fontChanges = 0;
  InstallRun run(directory_);
  run.Load({font});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  const std::string installed = run.shownFiles.at(0);
  EXPECT_EQ(ReadBytes(installed), font.content);
  EXPECT_EQ(fontChanges, 1);  // only sent when the font table took the font
  DestroyWindow(watcher);
  RemoveFontResourceA(installed.c_str());
  RemoveFile(installed);
}

TEST_F(Registrations, DesktopShortcutPointsAtTheInstalledFile) {
  FileInput program = Input("program.exe", ReadBytes(FixturePath("fixture_app_v1_5.exe")));
  program.record.desktopShortcut = "Lodrun Test Program";
  InstallRun run(directory_);
  run.Load({program});
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  char desktop[MAX_PATH] = "";
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
  const std::string link = std::string(desktop) + "\\Lodrun Test Program.lnk";
  EXPECT_TRUE(Exists(link));
  EXPECT_EQ(links_test::ReadLink(link).path, run.Target("program.exe"));
  RemoveFile(link);
}

}  // namespace
