// The directory page as a user meets it: the space its files need and the drive's free
// space, a directory that cannot be changed, Next making the directory absolute, creating it
// after the question and asking when the drive is too small, and the folder chooser opened,
// confirmed and cancelled. Also the page's composed texts, cut to their buffers.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "base/byte_order.h"
#include "engine/check_targets.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"
#include "wizard/directory_texts.h"

using namespace test_setups;

namespace {

constexpr int DIRECTORY_PAGE = 2;
constexpr int CONFIRMATION_PAGE = 3;
constexpr uint32_t DIRECTORY_TEXTS = 2;
constexpr uint32_t MEGABYTES_FORMAT = 7;
constexpr uint32_t CHOOSER_CAPTION = 1;
constexpr uint32_t CHECKING_MESSAGE = 4;
constexpr uint32_t NOT_CREATED_NOTICE = 5;
constexpr uint32_t CREATE_QUESTION = 6;
constexpr uint32_t NO_SPACE_QUESTION = 11;
constexpr UINT SEND_TIMEOUT_MS = 2000;
constexpr DWORD QUIET_MS = 1000;  // long enough for a dialog that would close to have closed
constexpr uint64_t LARGEST_ROOM = uint64_t(1) << 32;  // a record of 0xFFFFFFFF bytes

const std::string& Message(uint32_t n) { return TestTexts()[MESSAGE_LIST][n]; }
const std::string& DirectoryText(uint32_t n) { return TestTexts()[DIRECTORY_TEXTS][n]; }

// "%d MB" with n, as the page formats it.
std::string Megabytes(uint64_t n) {
  const std::string& format = DirectoryText(MEGABYTES_FORMAT);
  return format.substr(0, format.find("%d")) + std::to_string(n) +
         format.substr(format.find("%d") + 2);
}

uint64_t WholeMegabytes(uint64_t kb) { return (kb + 1023) / 1024; }

// The number at the start of a "%d MB" text.
uint64_t ShownNumber(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 10); }

std::string WithoutBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A fresh, empty directory of the test's own, with a trailing backslash.
std::string ScratchDirectory(const std::string& name) {
  const std::string directory = TestDirectory() + "directory-page-" + name + "\\";
  RemoveTree(directory);
  CreateDirectoryA(directory.c_str(), nullptr);
  return directory;
}

// A drive letter that names no drive: its free space and cluster size cannot be asked.
std::string MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y'; ++letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) return std::string(1, letter) + ":\\";
  }
  return "";
}

std::vector<FileInput> OneByteFiles(uint32_t count) {
  std::vector<FileInput> files;
  for (uint32_t i = 0; i < count; ++i) {
    FileInput file;
    file.record.name = "file" + std::to_string(i) + ".bin";
    file.content = {'x'};
    files.push_back(file);
  }
  return files;
}

// Gives each record of the built setup 0xFFFFFFFF bytes: the content stays one byte, which
// the disk check never reads.
void MakeRecordsHuge(std::vector<uint8_t>& setup, const std::vector<FileInput>& files) {
  for (const FileInput& file : files) {
    const std::string name = file.record.name + '\0';
    const auto at = std::search(setup.begin(), setup.end(), name.begin(), name.end());
    ASSERT_NE(at, setup.end()) << file.record.name;
    uint8_t* size = &*at - FILE_ENTRY_FIXED_SIZE + FILE_ENTRY_SIZE;  // the name opens the strings
    ASSERT_EQ(LoadU32LE(size), file.content.size()) << file.record.name;
    StoreU32LE(size, 0xFFFFFFFFu);
  }
}

void SetText(HWND window, const std::string& text) {
  DWORD_PTR ignored;
  SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored);
}

// Item i of a list box of another process (its text comes back whole only as UTF-16).
std::string ListItem(HWND list, int i) {
  wchar_t text[MAX_PATH] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &length) ||
      length >= MAX_PATH) {
    return "";
  }
  SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      SEND_TIMEOUT_MS, &length);
  std::string narrow;
  for (const wchar_t* p = text; *p != 0; ++p) narrow += char(*p);
  return narrow;
}

class DirectoryPage : public testing::Test {
 protected:
  void Start(WizardOptions options) { StartWith(WizardSetup(options)); }
  void StartWith(const std::vector<uint8_t>& setup) {
    ASSERT_TRUE(StartSetup(WriteTestFile("directory-page.exe", setup), &setup_));
  }
  // Starts the setup on options and walks to the directory page.
  void StartOnPage(WizardOptions options) {
    ASSERT_NO_FATAL_FAILURE(Start(options));
    ASSERT_NO_FATAL_FAILURE(WalkToPage());
  }
  void WalkToPage() {
    for (int page = 0; page < DIRECTORY_PAGE; ++page) {
      ASSERT_TRUE(ShowsPage(page)) << TextOf(setup_.mainWindow);
      Click(setup_.frame, ID_NEXT);
    }
    ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE)) << TextOf(setup_.mainWindow);
    page_ = CurrentPageOf(setup_.frame);
    ASSERT_NE(page_, nullptr);
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) FinishProgram(setup_.process, 0);
  }
  bool ShowsPage(int page) { return WaitForText(setup_.mainWindow, WindowedCaption(page)); }
  // The page stays: no other page replaced it after the last box.
  bool StaysOnPage() {
    Sleep(QUIET_MS);
    return TextOf(setup_.mainWindow) == WindowedCaption(DIRECTORY_PAGE) &&
           CurrentPageOf(setup_.frame) == page_;
  }
  HWND Edit() { return GetDlgItem(page_, ID_DIRECTORY_EDIT); }
  std::string Directory() { return TextOf(Edit()); }
  std::string Answer(int button) { return AnswerMessageBox(setup_.process, button); }
  // For failure messages: the box that holds the page, if one is open.
  std::string OpenBox() {
    HWND box = WaitForMessageBox(setup_.process, 0);
    return box != nullptr ? "box open: " + MessageBoxText(box) : "no box open";
  }
  // Next on the page, then Back from the confirmation page: the page shows InstallDir anew.
  void NextAndBack() {
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE));
    Click(setup_.frame, ID_BACK);
    ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE));
    page_ = CurrentPageOf(setup_.frame);
  }
  HWND WaitForChooser() {
    HWND chooser = nullptr;
    WaitUntil([&] {
      chooser = FindWindowA("#32770", Message(CHOOSER_CAPTION).c_str());
      return chooser != nullptr && IsWindowVisible(chooser);
    });
    return chooser;
  }
  HWND OpenChooser() {
    Click(page_, ID_BROWSE);
    return WaitForChooser();
  }
  RunningSetup setup_;
  HWND page_ = nullptr;
};

TEST(DirectoryTexts, MegabytesRoundUpAnyRemainder) {
  EXPECT_EQ(MegabytesFromKB(0), 0u);
  EXPECT_EQ(MegabytesFromKB(1), 1u);
  EXPECT_EQ(MegabytesFromKB(1024), 1u);
  EXPECT_EQ(MegabytesFromKB(1025), 2u);
  EXPECT_EQ(MegabytesFromKB(uint64_t(0xFFFFFFFFu) * 1024), 0xFFFFFFFFu);
  EXPECT_EQ(MegabytesFromKB(~uint64_t(0)), 0xFFFFFFFFu);
}

TEST_F(DirectoryPage, OneByteFilesTakeWholeUnknownClustersAndUnknownFreeSpaceIsZero) {
  const std::string drive = MissingDrive();
  ASSERT_FALSE(drive.empty());
  WizardOptions options;
  options.defaultDir = drive + "Apps";
  options.files = OneByteFiles(40);  // 40 clusters of 32 KB: 1280 KB
  ASSERT_EQ(ClusterSizeKB(drive.c_str()), 32u);
  StartOnPage(options);
  EXPECT_EQ(Directory(), drive + "Apps");
  EXPECT_EQ(ControlText(page_, ID_SPACE_NEEDED), Megabytes(2));
  EXPECT_EQ(ControlText(page_, ID_SPACE_FREE), Megabytes(0));
  EXPECT_EQ(ControlText(page_, ID_SPACE_NEEDED_LABEL), DirectoryText(5));
  EXPECT_EQ(ControlText(page_, ID_SPACE_FREE_LABEL), DirectoryText(6));
}

// Files of 1 byte count 32 KiB apiece, whatever the drive: 300 of them are 9,600 KB, shown as
// 10 MB. The free space follows the drive of the directory typed.
TEST_F(DirectoryPage, SpaceNeededCountsEachFileIn32KiBAndFreeSpaceFollowsTheDrive) {
  const std::string dir = ScratchDirectory("space");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  options.files = OneByteFiles(300);
  StartOnPage(options);
  EXPECT_EQ(ControlText(page_, ID_SPACE_NEEDED), Megabytes(10));
  const uint64_t freeMB = WholeMegabytes(FreeSpaceKB(dir.c_str()));
  const uint64_t shown = ShownNumber(ControlText(page_, ID_SPACE_FREE));
  EXPECT_GT(shown, 0u);
  EXPECT_LE(shown > freeMB ? shown - freeMB : freeMB - shown, 64u) << "free " << freeMB;
  Capture::OfWindow(setup_.mainWindow).Save("directory-page");
  SetText(Edit(), MissingDrive() + "Apps");  // typing refreshes both figures
  EXPECT_EQ(ControlText(page_, ID_SPACE_FREE), Megabytes(0));
  EXPECT_EQ(ControlText(page_, ID_SPACE_NEEDED), Megabytes(10));
}

TEST_F(DirectoryPage, FixedDirectoryIsReadOnlyWithoutBrowseAndNextStillChecks) {
  WizardOptions options;
  options.setupFlags = 0;  // no SETUP_FLAG_CHANGE_DIR
  options.defaultDir = ScratchDirectory("fixed") + "missing";
  StartOnPage(options);
  EXPECT_NE(GetWindowLongA(Edit(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, ID_BROWSE)));
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDNO), Message(CREATE_QUESTION));
  EXPECT_TRUE(StaysOnPage());
}

TEST_F(DirectoryPage, EditableDirectoryHasBrowseAndALimitForItsBackslash) {
  WizardOptions options;
  options.defaultDir = WithoutBackslash(ScratchDirectory("editable"));
  StartOnPage(options);
  EXPECT_EQ(GetWindowLongA(Edit(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page_, ID_BROWSE)));
  DWORD_PTR limit = 0;
  SendMessageTimeoutA(Edit(), EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &limit);
  EXPECT_EQ(limit, DWORD_PTR(MAX_PATH - 2));
}

TEST_F(DirectoryPage, DirectoryTooLongForItsBufferIsRefused) {
  const std::string dir = ScratchDirectory("long");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  SetText(Edit(), dir + std::string(300 - dir.size(), 'd'));  // set, not typed: past the limit
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDOK), Message(NOT_CREATED_NOTICE));
  EXPECT_TRUE(StaysOnPage());
}

TEST_F(DirectoryPage, RelativeDirectoryBecomesAbsoluteAgainstTheCurrentOne) {
  const std::string dir = ScratchDirectory("relative");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  ASSERT_NO_FATAL_FAILURE(NextAndBack());  // the accepted directory is the current one now
  SetText(Edit(), "Apps\\Tool");
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDYES), Message(CREATE_QUESTION));
  ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE)) << OpenBox() << "; " << Directory();
  EXPECT_TRUE(DirectoryExists(dir + "Apps\\Tool"));
  Click(setup_.frame, ID_BACK);
  ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE));
  page_ = CurrentPageOf(setup_.frame);
  EXPECT_EQ(Directory(), dir + "Apps\\Tool");
}

TEST_F(DirectoryPage, NewNestedDirectoryIsCreatedOnYesAndNoKeepsThePage) {
  const std::string dir = ScratchDirectory("nested");
  const std::string target = dir + "one\\two\\three";
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  SetText(Edit(), target);
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDNO), Message(CREATE_QUESTION));
  EXPECT_TRUE(StaysOnPage());
  EXPECT_FALSE(DirectoryExists(dir + "one"));
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDYES), Message(CREATE_QUESTION));
  EXPECT_TRUE(ShowsPage(CONFIRMATION_PAGE)) << OpenBox();
  EXPECT_TRUE(DirectoryExists(target));
}

TEST_F(DirectoryPage, TooLittleSpaceAsksNoStaysWithItsTextsYesGoesOn) {
  const std::string dir = ScratchDirectory("space-low");
  ULARGE_INTEGER freeBytes;
  ASSERT_TRUE(GetDiskFreeSpaceExA(dir.c_str(), &freeBytes, nullptr, nullptr));
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  options.files = OneByteFiles(uint32_t(freeBytes.QuadPart / LARGEST_ROOM + 1));
  std::vector<uint8_t> setup = WizardSetup(options);
  ASSERT_NO_FATAL_FAILURE(MakeRecordsHuge(setup, options.files));
  ASSERT_NO_FATAL_FAILURE(StartWith(setup));
  ASSERT_NO_FATAL_FAILURE(WalkToPage());
  Click(setup_.frame, ID_NEXT);
  ASSERT_NE(WaitForMessageBox(setup_.process), nullptr);
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_2), Message(CHECKING_MESSAGE));  // while it asks
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_3), "");
  Capture::OfWindow(setup_.mainWindow).Save("directory-page-low-space");
  EXPECT_EQ(Answer(IDNO), Message(NO_SPACE_QUESTION));
  EXPECT_TRUE(StaysOnPage());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_2 + i), DirectoryText(2 + uint32_t(i)));
  }
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(Answer(IDYES), Message(NO_SPACE_QUESTION));
  EXPECT_TRUE(ShowsPage(CONFIRMATION_PAGE));
}

TEST_F(DirectoryPage, BackSkipsAnEmptyInformationPage) {
  WizardOptions options;
  options.informationText = "";
  options.defaultDir = WithoutBackslash(ScratchDirectory("back"));
  ASSERT_NO_FATAL_FAILURE(Start(options));
  ASSERT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_NEXT);
  // The information page may skip itself forwards; Back from here must skip it too.
  ASSERT_TRUE(WaitUntil([&] {
    const std::string caption = TextOf(setup_.mainWindow);
    return caption == WindowedCaption(1) || caption == WindowedCaption(DIRECTORY_PAGE);
  }));
  if (TextOf(setup_.mainWindow) == WindowedCaption(1)) Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE));
  Click(setup_.frame, ID_BACK);
  EXPECT_TRUE(ShowsPage(0));
}

TEST_F(DirectoryPage, SinglePageModeTakesNextWithoutAnyCheck) {
  WizardOptions options;
  options.startPage = DIRECTORY_PAGE;
  options.defaultDir = ScratchDirectory("single") + "missing";
  ASSERT_NO_FATAL_FAILURE(Start(options));
  ASSERT_TRUE(ShowsPage(DIRECTORY_PAGE));
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(FinishProgram(setup_.process), 0u);  // no question: the one page has ended
}

TEST_F(DirectoryPage, ChooserOpensInTheDirectoryAndCancelLeavesIt) {
  const std::string dir = ScratchDirectory("chooser-cancel");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  SetText(Edit(), dir);  // with its final backslash
  HWND chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(ControlText(chooser, ID_CHOOSER_FOLDER), dir);
  // The dialog's own idea of its folder (kept hidden), which it spells in lower case.
  EXPECT_EQ(lstrcmpiA(ControlText(chooser, ID_CHOOSER_CURRENT_FOLDER).c_str(),
                      WithoutBackslash(dir).c_str()), 0)
      << ControlText(chooser, ID_CHOOSER_CURRENT_FOLDER);
  EXPECT_EQ(TextOf(GetDlgItem(chooser, ID_CHOOSER_OK)), TestTexts()[BUTTON_TEXTS][4]);
  EXPECT_EQ(TextOf(GetDlgItem(chooser, ID_CHOOSER_CANCEL)), TestTexts()[BUTTON_TEXTS][5]);
  EXPECT_EQ(ControlText(chooser, ID_CHOOSER_FOLDER_LABEL), Message(2));
  EXPECT_EQ(ControlText(chooser, ID_CHOOSER_DRIVE_LABEL), Message(3));
  Capture::OfWindow(chooser).Save("folder-chooser");
  Click(chooser, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  EXPECT_TRUE(WaitForText(Edit(), WithoutBackslash(dir)));
}

TEST_F(DirectoryPage, FolderTypedInTheChooserComesBackOnOk) {
  const std::string dir = ScratchDirectory("chooser-typed");
  const std::string other = ScratchDirectory("chooser-other");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  HWND chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  SetText(GetDlgItem(chooser, ID_CHOOSER_FOLDER), other);
  Click(chooser, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  EXPECT_TRUE(WaitForText(Edit(), WithoutBackslash(other))) << Directory();
}

TEST_F(DirectoryPage, EmptyFolderBoxDoesNotEndTheChooser) {
  const std::string dir = ScratchDirectory("chooser-empty");
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  HWND chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  SetText(GetDlgItem(chooser, ID_CHOOSER_FOLDER), "");
  Click(chooser, IDOK);
  Sleep(QUIET_MS);
  EXPECT_TRUE(IsWindow(chooser) && IsWindowVisible(chooser));
  Click(chooser, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  EXPECT_EQ(Directory(), WithoutBackslash(dir));
}

TEST_F(DirectoryPage, FolderOpenedInTheChooserListIsShownAndChosen) {
  const std::string dir = ScratchDirectory("chooser-list");
  CreateDirectoryA((dir + "inner").c_str(), nullptr);
  WizardOptions options;
  options.defaultDir = WithoutBackslash(dir);
  StartOnPage(options);
  HWND chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  HWND list = GetDlgItem(chooser, ID_CHOOSER_FOLDER_LIST);
  int inner = -1;
  ASSERT_TRUE(WaitUntil([&] {
    const int count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && inner < 0; ++i) {
      if (ListItem(list, i) == "[inner]") inner = i;
    }
    return inner >= 0;
  }));
  // Under Wine the selection message comes only with a double-click, after the folder opened.
  SendMessageA(list, LB_SETCURSEL, inner, 0);
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(ID_CHOOSER_FOLDER_LIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  const std::string opened = dir + "inner";
  EXPECT_TRUE(WaitUntil([&] {
    return lstrcmpiA(ControlText(chooser, ID_CHOOSER_FOLDER).c_str(), opened.c_str()) == 0;
  })) << ControlText(chooser, ID_CHOOSER_FOLDER);
  Click(chooser, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  EXPECT_EQ(lstrcmpiA(Directory().c_str(), opened.c_str()), 0) << Directory();
}

}  // namespace
