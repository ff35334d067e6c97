// The welcome, information and confirmation pages as a user sees them: an information page
// without text is skipped both ways, the information text scrolls in its box as stored, the
// confirmation names the directory and relabels Next, and asks before read-only files are
// replaced.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "archive/page_texts.h"
#include "page_setups.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;
using namespace page_tests;

namespace {

constexpr int CONFIRMATION_PAGE = 3;
constexpr uint32_t CONFIRMATION_LIST = 3;
constexpr uint32_t INSTALL_BUTTON = 3;
constexpr uint32_t REPLACE_PROTECTED_QUESTION = 7;

const std::string& Text(uint32_t list, uint32_t n) { return TestTexts()[list][n]; }

// The confirmation's folder line for a directory as the page shows it.
std::string FolderLine(const std::string& directory) {
  std::string line = Text(CONFIRMATION_LIST, 2);
  return line.replace(line.find("%s"), 2, directory);
}

class TextPages : public testing::Test {
 protected:
  void Start(const WizardOptions& options) {
    ASSERT_TRUE(StartSetup(WriteTestFile("text-pages.exe", WizardSetup(options)), &setup_));
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
  }
  bool ShowsPage(int page) { return WaitForText(setup_.mainWindow, WindowedCaption(page)); }
  HWND Page() { return CurrentPageOf(setup_.frame); }
  RunningSetup setup_;
};

TEST_F(TextPages, EmptyInformationTextSkipsTheInformationPageBothWays) {
  WizardOptions options;
  options.informationText = "";
  Start(options);
  ASSERT_TRUE(ShowsPage(0));
  Capture::OfWindow(setup_.mainWindow).Save("pages-welcome");
  Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(2));
  Click(setup_.frame, ID_BACK);
  EXPECT_TRUE(ShowsPage(0));
}

TEST_F(TextPages, InformationTextShowsInItsScrollingBoxAsStored) {
  WizardOptions options;
  options.informationText = "Notes\r\n\r\n";
  for (int i = 1; i <= 40; ++i) {
    options.informationText += "Line " + std::to_string(i) + " of the notes.\r\n";
  }
  options.informationText += "\r\nThe end, after an empty line.";
  Start(options);
  ASSERT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(1));
  HWND box = GetDlgItem(Page(), ID_PAGE_TEXT_1);
  EXPECT_EQ(TextOf(box), options.informationText);
  EXPECT_EQ(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 44);
  EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & WS_VSCROLL, 0);
  // Read from its start, nothing marked.
  EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  const DWORD selection = DWORD(SendMessageA(box, EM_GETSEL, 0, 0));  // start, end
  EXPECT_EQ(LOWORD(selection), HIWORD(selection));
  Capture::OfWindow(setup_.mainWindow).Save("pages-information");
}

TEST_F(TextPages, ConfirmationShowsTheDirectoryWithoutItsFinalBackslash) {
  WizardOptions options;
  options.startPage = CONFIRMATION_PAGE;
  options.defaultDir = "C:\\Program Files\\Lodrun Test\\";
  Start(options);
  ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE));
  EXPECT_EQ(ControlText(Page(), ID_PAGE_TEXT_2), FolderLine("C:\\Program Files\\Lodrun Test"));
  EXPECT_EQ(ControlText(Page(), ID_PAGE_TEXT_1), Text(CONFIRMATION_LIST, 1));
  EXPECT_EQ(ControlText(Page(), ID_PAGE_TEXT_3), Text(CONFIRMATION_LIST, 3));
  EXPECT_EQ(ControlText(setup_.frame, ID_NEXT), Text(BUTTON_TEXTS, INSTALL_BUTTON));
  Capture::OfWindow(setup_.mainWindow).Save("pages-confirmation");
}

TEST_F(TextPages, ConfirmationShowsADriveRootWithItsBackslash) {
  WizardOptions options;
  options.startPage = CONFIRMATION_PAGE;
  options.defaultDir = "C:\\";
  Start(options);
  ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE));
  EXPECT_EQ(ControlText(Page(), ID_PAGE_TEXT_2), FolderLine("C:\\"));
}

// The whole wizard into a folder whose file is read-only: the directory page's disk check
// finds it, and the confirmation asks before going on.
TEST_F(TextPages, ConfirmationAsksBeforeReadOnlyFilesAreReplacedNoStaysYesGoesOn) {
  ScratchDirectory target("confirmation-target");
  const std::string existing = target.File("notes.txt");
  FILE* file = std::fopen(existing.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  SetFileAttributesA(existing.c_str(), FILE_ATTRIBUTE_READONLY);
  WizardOptions options;
  options.defaultDir = target.Path();
  options.files = {TestFile("notes.txt", {'n', 'e', 'w'})};
  Start(options);
  for (int page = 0; page < CONFIRMATION_PAGE; ++page) {
    ASSERT_TRUE(ShowsPage(page)) << "page " << page;
    Click(setup_.frame, ID_NEXT);
  }
  ASSERT_TRUE(ShowsPage(CONFIRMATION_PAGE));
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(AnswerMessageBox(setup_.process, IDNO), Text(MESSAGE_LIST, REPLACE_PROTECTED_QUESTION));
  Sleep(300);
  EXPECT_TRUE(ShowsPage(CONFIRMATION_PAGE));
  Click(setup_.frame, ID_NEXT);
  EXPECT_EQ(AnswerMessageBox(setup_.process, IDYES), Text(MESSAGE_LIST, REPLACE_PROTECTED_QUESTION));
  EXPECT_TRUE(ShowsPage(5));  // installed, and on the finish page
}

TEST_F(TextPages, ConfirmationWithoutReadOnlyFilesMovesOnWithoutAQuestion) {
  ScratchDirectory target("confirmation-target");
  WizardOptions options;
  options.defaultDir = target.Path();
  options.files = {TestFile("notes.txt", {'n', 'e', 'w'})};
  Start(options);
  for (int page = 0; page <= CONFIRMATION_PAGE; ++page) {
    ASSERT_TRUE(ShowsPage(page)) << "page " << page;
    Click(setup_.frame, ID_NEXT);
  }
  EXPECT_TRUE(ShowsPage(5));
  EXPECT_EQ(WaitForMessageBox(setup_.process, 0), nullptr);
}

}  // namespace
