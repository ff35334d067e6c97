// The setup program as a whole, run as a separate process on setups built from it: exit
// codes, the single-instance rule and self-deletion.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "support/test_setups.h"
#include "support/wizard_driver.h"

using namespace test_setups;

namespace {

constexpr DWORD EXIT_FAILED = static_cast<DWORD>(-1);
constexpr char SESSION_MANAGER[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char PENDING_OPERATIONS[] = "PendingFileRenameOperations";

// The system's own words for a damaged file, as the user sees them before the setup ends.
std::string DamagedFileText() {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_CORRUPT, 0, text,
                 sizeof text, nullptr);
  return text;
}

// Runs a setup that cannot be loaded: it tells the user and fails.
void ExpectToldAsDamaged(const std::string& path) {
  Process setup = StartProgram(path);
  ASSERT_NE(setup.handle, nullptr);
  ASSERT_FALSE(DamagedFileText().empty());
  const HWND box = WaitForMessageBox(setup);
  if (box != nullptr) Capture::OfWindow(box).Save("damaged-setup");
  EXPECT_EQ(AnswerMessageBox(setup, IDOK), DamagedFileText()) << path;
  EXPECT_EQ(FinishProgram(setup), EXIT_FAILED) << path;
}

TEST(SessionExit, FailsWithoutArchive) {
  // The stub as built: ImageSize 0.
  ExpectToldAsDamaged(WriteTestFile("no_archive.exe", SetupStub()));
}

TEST(SessionExit, FailsOnTruncatedArchive) {
  ArchiveWriter writer(SetupStub());
  writer.AddStringBlock(BLOCK_APP_NAME, "Application", false);
  std::vector<uint8_t> file = writer.Finish();
  file.resize(SetupStub().size() + BLOCK_HEADER_SIZE + 4);  // ends inside the first payload
  ExpectToldAsDamaged(WriteTestFile("truncated.exe", file));
}

TEST(SessionExit, FailsOnBlockLongerThanFile) {
  std::vector<uint8_t> file = SetupStub();
  PatchImageSize(file, static_cast<uint32_t>(file.size()));
  // A block announcing 4096 bytes of application name, followed by 16 bytes and the end.
  PutU16(file, BLOCK_APP_NAME);
  PutU16(file, 0);
  PutU32(file, 4096);
  file.insert(file.end(), 16, 'x');
  ExpectToldAsDamaged(WriteTestFile("long_block.exe", file));
}

TEST(SessionExit, EndsCleanlyWithoutFrameTemplate) {
  EXPECT_EQ(RunProgram(WriteTestFile("empty.exe", EmptySetup())), 0u);
}

TEST(SingleInstance, SecondStartRestoresFirstAndEnds) {
  ASSERT_EQ(FindWindowA("LodrunClass", nullptr), nullptr) << "a setup is already running";
  const std::string path = WriteTestFile("with_pages.exe", SetupWithPages());
  Process first = StartProgram(path);
  ASSERT_NE(first.handle, nullptr);
  HWND window = WaitForMainWindow(first);
  ASSERT_NE(window, nullptr);
  HWND frame = WaitForFrameWithPage(window);
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(FindWindowExA(frame, nullptr, "#32770", nullptr), nullptr) << "no page shown";

  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
  EXPECT_EQ(RunProgram(path), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window); }));
  EXPECT_TRUE(WaitUntil([&] { return GetAncestor(GetForegroundWindow(), GA_ROOT) == window; }));
  EXPECT_EQ(WaitForSingleObject(first.handle, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  CloseSetup(window);  // the first page ends; the closing page has no template: the setup ends
  EXPECT_EQ(FinishProgram(first), 0u);
}

TEST(SessionWindow, FrameFillsMainWindowClientArea) {
  const std::string path = WriteTestFile("with_pages.exe", SetupWithPages());
  Process setup = StartProgram(path);
  ASSERT_NE(setup.handle, nullptr);
  HWND window = WaitForMainWindow(setup);
  ASSERT_NE(window, nullptr);
  HWND frame = WaitForFrameWithPage(window);
  ASSERT_NE(frame, nullptr);
  RECT client, frameRect;
  GetClientRect(window, &client);
  GetWindowRect(frame, &frameRect);
  POINT origin = {frameRect.left, frameRect.top};
  ScreenToClient(window, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  EXPECT_EQ(client.right, frameRect.right - frameRect.left);
  EXPECT_EQ(client.bottom, frameRect.bottom - frameRect.top);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & 0x00CA0000u, 0x00CA0000u);
  CloseSetup(window);
  EXPECT_EQ(FinishProgram(setup), 0u);
}

// Restores a registry value as it was when the guard was made.
class SavedValue {
 public:
  SavedValue(HKEY root, const char* key, const char* value) : root_(root), key_(key), value_(value) {
    HKEY handle;
    if (RegOpenKeyExA(root_, key_, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(handle, value_, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      data_.resize(size);
      present_ = RegQueryValueExA(handle, value_, nullptr, &type_, data_.data(), &size) ==
                 ERROR_SUCCESS;
    }
    RegCloseKey(handle);
  }
  ~SavedValue() {
    HKEY handle;
    if (RegCreateKeyExA(root_, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
      return;
    }
    if (present_) {
      RegSetValueExA(handle, value_, 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
      RegDeleteValueA(handle, value_);
    }
    RegCloseKey(handle);
  }

 private:
  HKEY root_;
  const char* key_;
  const char* value_;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
  bool present_ = false;
};

TEST(SelfDeletion, DelSwitchRegistersPendingDeletionOnNt) {
  SavedValue saved(HKEY_LOCAL_MACHINE, SESSION_MANAGER, PENDING_OPERATIONS);
  const std::string path = WriteTestFile("delete_nt.exe", EmptySetup());
  ASSERT_EQ(RunProgram(path, "/DEL"), 0u);
  const std::vector<std::string> pending =
      ReadMultiString(HKEY_LOCAL_MACHINE, SESSION_MANAGER, PENDING_OPERATIONS);
  bool found = false;
  for (size_t i = 0; i + 1 < pending.size(); ++i) {
    // A deletion is the file's NT path followed by an empty target.
    if (lstrcmpiA(pending[i].c_str(), ("\\??\\" + path).c_str()) == 0 && pending[i + 1].empty()) {
      found = true;
    }
  }
  EXPECT_TRUE(found) << "no pending deletion of " << path;
}

TEST(SelfDeletion, NoPendingDeletionWithoutDelSwitch) {
  SavedValue saved(HKEY_LOCAL_MACHINE, SESSION_MANAGER, PENDING_OPERATIONS);
  const std::string path = WriteTestFile("keep.exe", EmptySetup());
  ASSERT_EQ(RunProgram(path), 0u);
  for (const std::string& entry : ReadMultiString(HKEY_LOCAL_MACHINE, SESSION_MANAGER, PENDING_OPERATIONS)) {
    EXPECT_NE(lstrcmpiA(entry.c_str(), ("\\??\\" + path).c_str()), 0);
  }
}

// Makes Wine report Windows 98 to one program, by its file name, while the guard lives.
class Windows98For {
 public:
  explicit Windows98For(const std::string& exeName)
      : key_("Software\\Wine\\AppDefaults\\" + exeName) {
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
      RegCloseKey(handle);
    }
  }
  ~Windows98For() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

 private:
  std::string key_;
};

TEST(SelfDeletion, DelSwitchWritesWininitEntryOnWindows98) {
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string ini = std::string(windows) + "\\WININIT.INI";
  std::vector<uint8_t> before;
  const bool existed = GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (existed) before = ReadTestFile(ini);

  const std::string path = WriteTestFile("delete_98.exe", EmptySetup());
  char shortPath[MAX_PATH];
  ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, MAX_PATH), 0u);
  {
    Windows98For version("delete_98.exe");
    ASSERT_EQ(RunProgram(path, "/del"), 0u);
  }
  char value[MAX_PATH] = "";
  GetPrivateProfileStringA("Rename", "NUL", "", value, MAX_PATH, ini.c_str());
  EXPECT_STREQ(value, shortPath);
  char placeholder[MAX_PATH] = "";
  GetPrivateProfileStringA("Rename", "xyz", "", placeholder, MAX_PATH, ini.c_str());
  EXPECT_STREQ(placeholder, "");

  if (existed) {
    WriteTestFile("wininit.restore", before);
    CopyFileA((TestDirectory() + "wininit.restore").c_str(), ini.c_str(), FALSE);
  } else {
    DeleteFileA(ini.c_str());
  }
}

}  // namespace
