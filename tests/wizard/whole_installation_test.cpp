// One setup with every kind of file record, run through the whole wizard as a user would:
// a new nested directory typed and created, the installation with its progress bar, the
// read-me opened from the finish page, the program to start unticked (then, on a second
// run, left ticked). Then what the machine holds: every file byte for byte, the shared
// count, the COM server's mark, the shortcuts, the uninstall data and the Uninstall entry.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "engine/finish_installation.h"
#include "engine/registrations.h"
#include "page_setups.h"
#include "resources/dialog_ids.h"
#include "support/fixtures/fixtures.h"
#include "support/system_state.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;
using namespace page_tests;

namespace {

constexpr int DIRECTORY_PAGE = 2;
constexpr int CONFIRMATION_PAGE = 3;
constexpr int PROGRESS_PAGE = 4;
constexpr int FINISH_PAGE = 5;
constexpr uint32_t CONFIRMATION_LIST = 3;
constexpr uint32_t CREATE_QUESTION = 6;
// Small files enough that the progress page, which waits a timer tick per file, stays on
// view long enough to be captured.
constexpr int DATA_FILES = 40;
constexpr DWORD NOTHING_STARTED_MS = 1500;
constexpr char GROUP_FOLDER[] = "Lodrun Whole Test";
constexpr char GROUP_SHORTCUT[] = "Lodrun Whole";
constexpr char DESKTOP_SHORTCUT[] = "Lodrun Whole Desktop";
constexpr char SHARED_NAME[] = "lodrun_whole_shared.dll";
constexpr char FONT_NAME[] = "LodrunWholeSans.ttf";
const std::string UNINSTALL_KEY = std::string(UNINSTALL_KEY_PREFIX) + TEST_APP_NAME;

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * seed + (i >> 7) + 1);
  return bytes;
}

// An uninstall program as the setup carries it: its own bytes, then the closing end header.
std::vector<uint8_t> UninstallProgram() {
  std::vector<uint8_t> program = Pattern(2000, 29);
  const uint8_t endHeader[BLOCK_HEADER_SIZE] = {uint8_t(BLOCK_END & 0xFF), uint8_t(BLOCK_END >> 8)};
  program.insert(program.end(), endHeader, endHeader + BLOCK_HEADER_SIZE);
  return program;
}

// The uninstall data appended to the uninstall program, read from its old end header on.
struct UninstallData {
  std::map<std::string, uint32_t> files;  // "directory|name" -> flags
  uint32_t fileCount = 0;
  std::vector<std::string> shortcuts;     // "folder|name"
  std::string appKey;
  bool closed = false;                    // ends in the BLOCK_END header at the file's end
};

UninstallData ReadUninstallData(const std::vector<uint8_t>& bytes, size_t at) {
  UninstallData data;
  auto take = [&](size_t n) {
    uint32_t value = 0;
    for (size_t i = 0; i < n && at < bytes.size(); ++i) value |= uint32_t(bytes[at++]) << (8 * i);
    return value;
  };
  auto counted = [&] {
    const uint32_t length = take(COUNTED_STRING_LENGTH_FIELD);
    if (at + length > bytes.size()) return std::string("<past the end>");
    std::string text(bytes.begin() + at, bytes.begin() + at + length);
    at += length;
    return text;
  };
  while (at + BLOCK_HEADER_SIZE <= bytes.size()) {
    const uint32_t tag = take(2), flags = take(2), size = take(4);
    if (tag == BLOCK_END) {
      data.closed = flags == 0 && size == 0 && at == bytes.size();
      break;
    }
    const size_t end = at + size;
    if (tag == UNINSTALL_FILES) {
      data.fileCount = take(UNINSTALL_COUNT_FIELD);
      for (uint32_t n = 0; n < data.fileCount && at < end; ++n) {
        const std::string directory = counted(), name = counted();
        data.files[directory + "|" + name] = take(1);
      }
    } else if (tag == UNINSTALL_SHORTCUTS) {
      for (uint32_t n = take(UNINSTALL_COUNT_FIELD); n > 0 && at < end; --n) {
        const std::string folder = counted();
        data.shortcuts.push_back(folder + "|" + counted());
      }
    } else if (tag == UNINSTALL_APP_KEY) {
      if (take(UNINSTALL_ROOT_FIELD) == UNINSTALL_ROOT_LOCAL_MACHINE) data.appKey = counted();
    }
    at = end;
  }
  return data;
}

class WholeInstallation : public testing::Test {
 protected:
  WholeInstallation() : scratch_("whole"), target_(scratch_.File("Programs\\Lodrun Whole")) {}
  void SetUp() override {
    CoInitialize(nullptr);
    Clean();
    // Every Windows has the key of the shared counts; a new Wine prefix has not.
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &key) == ERROR_SUCCESS) RegCloseKey(key);
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
    Clean();
    CoUninitialize();
  }
  // What the runs leave outside the scratch directory.
  void Clean() {
    RemoveTree(GroupFolder());
    DeleteFileA(DesktopLink().c_str());
    DeleteFileA(SharedFile().c_str());
    DeleteFileA(FontFile().c_str());
    DeleteLog(RecorderPath());
    RemoveComServerMark();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, SharedFile().c_str());
      RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY.c_str());
  }
  std::string GroupFolder() { return ShellFolder(CSIDL_PROGRAMS) + "\\" + GROUP_FOLDER; }
  std::string GroupLink() { return GroupFolder() + "\\" + GROUP_SHORTCUT + ".lnk"; }
  std::string DesktopLink() { return ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + DESKTOP_SHORTCUT + ".lnk"; }
  std::string SharedFile() { return SystemFolder() + "\\" + SHARED_NAME; }
  std::string FontFile() { return FontsFolder() + "\\" + FONT_NAME; }
  std::string Program() { return target_ + "\\bin\\lodrun-whole.exe"; }

  // Every kind of record: the uninstall program first, a program to start with its shortcuts, a COM server, a read-me to
  // open, data files in nested folders, a shared DLL, a font, and the uninstall program.
  std::vector<FileInput> Files() {
    FileInput program = TestFile("bin\\lodrun-whole.exe", ReadTestFile(RecorderPath()), END_RUN);
    program.record.groupFolder = GROUP_FOLDER;
    program.record.groupShortcut = GROUP_SHORTCUT;
    program.record.desktopShortcut = DESKTOP_SHORTCUT;
    FileInput server = TestFile("bin\\server.dll", ReadTestFile(FixturePath("fixture_com_server.dll")));
    server.record.registration = REGISTER_COM_SERVER;
    FileInput uninstaller = TestFile("uninst.exe", UninstallProgram());
    uninstaller.record.flags = FE_UNINSTALLER;
    std::vector<FileInput> files = {uninstaller, program, server,
                                    TestFile("docs\\readme.lodrundoc", Pattern(700, 3), END_OPEN)};
    for (int n = 0; n < DATA_FILES; ++n) {
      files.push_back(TestFile("data\\set " + std::to_string(n % 3) + "\\part" + std::to_string(n) + ".bin",
                               Pattern(100 + 37 * n, uint8_t(n + 5))));
    }
    FileInput shared = TestFile(SHARED_NAME, ReadTestFile(FixturePath("fixture_v2_0.dll")));
    shared.record.dirCode = DIR_SYSTEM;
    shared.record.shared = 1;
    FileInput font = TestFile(FONT_NAME, ReadTestFile(FontFixturePath()));
    font.record.dirCode = DIR_FONTS;
    files.insert(files.end(), {shared, font});
    return files;
  }
  std::string Installed(const FileRecord& record) {
    if (record.dirCode == DIR_SYSTEM) return SystemFolder() + "\\" + record.name;
    if (record.dirCode == DIR_FONTS) return FontsFolder() + "\\" + record.name;
    return target_ + "\\" + record.name;
  }

  // The first run's pages up to the progress page, into the new directory.
  void StartInstalling() {
    WizardOptions options;
    options.defaultDir = target_;
    options.files = Files();
    ASSERT_TRUE(StartSetup(WriteTestFile("whole.exe", WizardSetup(options)), &setup_));
    for (int page = 0; page < PROGRESS_PAGE; ++page) {
      ASSERT_TRUE(ShowsPage(page));
      Click(setup_.frame, ID_NEXT);
      if (page == DIRECTORY_PAGE) AnswerMessageBox(setup_.process, IDYES);
    }
    ASSERT_TRUE(ShowsPage(PROGRESS_PAGE));
  }
  bool ShowsPage(int page) { return WaitForText(setup_.mainWindow, WindowedCaption(page)); }
  void Shot(const char* name) {
    if (screenshots_) Capture::OfWindow(setup_.mainWindow).Save(std::string("whole-") + name);
  }
  // One run from the welcome page to the end of the program, typing the target directory
  // (created on Yes when it is new) and leaving the run-at-end box ticked or not.
  void Run(bool startProgram) {
    WizardOptions options;
    options.defaultDir = scratch_.Path();
    options.files = Files();
    const bool newDirectory = !Exists(target_);
    ASSERT_TRUE(StartSetup(WriteTestFile("whole.exe", WizardSetup(options)), &setup_));
    ASSERT_TRUE(ShowsPage(0));
    Shot("0-welcome");
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(ShowsPage(1));
    Shot("1-information");
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE));
    SetWindowTextA(GetDlgItem(CurrentPageOf(setup_.frame), ID_DIRECTORY_EDIT), target_.c_str());
    Shot("2-directory");
    Click(setup_.frame, ID_NEXT);
    if (newDirectory) {
      EXPECT_EQ(AnswerMessageBox(setup_.process, IDYES), TestTexts()[MESSAGE_LIST][CREATE_QUESTION]);
    }
    ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE));
    std::string folderLine = TestTexts()[CONFIRMATION_LIST][2];
    EXPECT_EQ(ControlText(CurrentPageOf(setup_.frame), ID_PAGE_TEXT_2),
              folderLine.replace(folderLine.find("%s"), 2, target_));
    Shot("3-confirmation");
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(ShowsPage(PROGRESS_PAGE));
    Shot("4-progress");
    ASSERT_TRUE(ShowsPage(FINISH_PAGE));
    ASSERT_NO_FATAL_FAILURE(Finish(startProgram));
  }
  // The finish page: the read-me opened, the box set, then the closing page ends the run.
  void Finish(bool startProgram) {
    HWND page = CurrentPageOf(setup_.frame);
    EXPECT_EQ(SendDlgItemMessageA(page, ID_RUN_AT_END, BM_GETCHECK, 0, 0), BST_CHECKED);
    if (!startProgram) SendDlgItemMessageA(page, ID_RUN_AT_END, BM_CLICK, 0, 0);
    Shot("5-finish");
    Click(page, ID_OPEN_DOCUMENT);
    EXPECT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(CurrentPageOf(setup_.frame), ID_WEB_BUTTON) != nullptr; }));
    Shot("6-closing");
    Click(setup_.frame, ID_CANCEL);
    EXPECT_EQ(FinishProgram(setup_.process), 0u);
  }

  ScratchDirectory scratch_;
  std::string target_;
  RecorderFileType documents_{DOCUMENT_EXTENSION};
  RunningSetup setup_;
  bool screenshots_ = true;
};

TEST_F(WholeInstallation, EveryRecordIsInstalledRegisteredAndRecordedForUninstall) {
  ASSERT_NO_FATAL_FAILURE(Run(false));
  for (const FileInput& file : Files()) {
    if (file.record.flags & FE_UNINSTALLER) continue;  // it carries the data now
    EXPECT_EQ(ReadTestFile(Installed(file.record)), file.content) << file.record.name;
  }
  EXPECT_EQ(LoggedLines(RecorderPath()).at(0).find(target_ + "\\docs\\readme.lodrundoc") != std::string::npos, true);
  EXPECT_EQ(SharedCount(SharedFile()), 1u);
  EXPECT_TRUE(ComServerMarked());
  EXPECT_EQ(LinkTarget(GroupLink()), Program());
  EXPECT_EQ(LinkTarget(DesktopLink()), Program());
  EXPECT_EQ(MachineString(UNINSTALL_KEY, "DisplayName"), TEST_APP_NAME);
  EXPECT_EQ(MachineString(UNINSTALL_KEY, "UninstallString"), target_ + "\\uninst.exe");
  Sleep(NOTHING_STARTED_MS);
  EXPECT_FALSE(Exists(LogOf(Program())));
}

TEST_F(WholeInstallation, UninstallDataListsEveryFileShortcutAndTheKey) {
  ASSERT_NO_FATAL_FAILURE(Run(false));
  const std::vector<uint8_t> program = ReadTestFile(target_ + "\\uninst.exe");
  const size_t carried = UninstallProgram().size();
  ASSERT_GT(program.size(), carried);
  EXPECT_TRUE(std::equal(program.begin(), program.begin() + carried - BLOCK_HEADER_SIZE,
                         UninstallProgram().begin()));
  const UninstallData data = ReadUninstallData(program, carried - BLOCK_HEADER_SIZE);
  EXPECT_TRUE(data.closed);
  EXPECT_EQ(data.fileCount, Files().size());  // the desktop shortcut for the program itself
  EXPECT_EQ(data.files.size(), data.fileCount);
  EXPECT_EQ(data.files.at(".\\bin|lodrun-whole.exe"), 0u);
  EXPECT_EQ(data.files.at(".\\bin|server.dll"), uint32_t(UNINSTALL_SELF_REGISTERED));
  EXPECT_EQ(data.files.at(".\\data\\set 2|part5.bin"), 0u);
  EXPECT_EQ(data.files.count(".|uninst.exe"), 0u);  // it does not list itself
  EXPECT_EQ(data.files.at(SystemFolder() + "|" + SHARED_NAME), uint32_t(UNINSTALL_SHARED));
  EXPECT_EQ(data.files.at(FontsFolder() + "|" + FONT_NAME), uint32_t(UNINSTALL_FONT));
  EXPECT_EQ(data.files.at(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "|" + DESKTOP_SHORTCUT + ".lnk"), 0u);
  EXPECT_EQ(data.shortcuts, std::vector<std::string>{GroupFolder() + "|" + GROUP_SHORTCUT + ".lnk"});
  EXPECT_EQ(data.appKey, UNINSTALL_KEY);
}

TEST_F(WholeInstallation, SecondRunWithTheBoxTickedStartsTheProgram) {
  screenshots_ = false;
  ASSERT_NO_FATAL_FAILURE(Run(false));
  DeleteLog(RecorderPath());
  ASSERT_NO_FATAL_FAILURE(Run(true));  // the directory exists now: no question
  EXPECT_TRUE(WaitForLoggedLines(Program(), 1));
  EXPECT_EQ(SharedCount(SharedFile()), 2u);  // each installation counts
}

TEST_F(WholeInstallation, CancelledRunLeavesNoUninstallDataEntryShortcutOrTemporaryFile) {
  ASSERT_NO_FATAL_FAILURE(StartInstalling());
  ASSERT_TRUE(WaitUntil([&] { return Exists(target_ + "\\bin\\server.dll"); }));
  Click(setup_.frame, ID_CANCEL);
  AnswerMessageBox(setup_.process, IDYES);
  AnswerMessageBox(setup_.process, IDOK);  // the notice
  ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(CurrentPageOf(setup_.frame), ID_WEB_BUTTON) != nullptr; }));
  Click(setup_.frame, ID_CANCEL);
  EXPECT_EQ(FinishProgram(setup_.process), 0u);
  EXPECT_EQ(ReadTestFile(target_ + "\\uninst.exe"), UninstallProgram());  // placed, nothing appended
  EXPECT_EQ(MachineString(UNINSTALL_KEY, "UninstallString"), "");
  EXPECT_FALSE(Exists(GroupLink()));
  EXPECT_FALSE(Exists(LogOf(Program())));
  for (const char* folder : {"", "\\bin", "\\docs", "\\data\\set 0", "\\data\\set 1", "\\data\\set 2"}) {
    WIN32_FIND_DATAA found;
    const HANDLE temporary = FindFirstFileA((target_ + folder + "\\*.$$?").c_str(), &found);
    EXPECT_EQ(temporary, INVALID_HANDLE_VALUE) << folder << "\\" << found.cFileName;
    if (temporary != INVALID_HANDLE_VALUE) FindClose(temporary);
  }
}

}  // namespace
