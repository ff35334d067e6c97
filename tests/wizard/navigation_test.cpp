// The wizard as a user walks it: Next through every page, Back, Cancel with its question,
// the close commands of the main window and of the full-screen frame, a fixed start page,
// and Enter through the dialog managers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "archive/page_texts.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;

namespace {

constexpr int PROGRESS_PAGE = 4;
constexpr int CLOSING_PAGE = 6;
constexpr uint32_t CANCEL_QUESTION = 14;
constexpr uint32_t ABORTED_NOTICE = 15;

const std::string& Message(uint32_t n) { return TestTexts()[MESSAGE_LIST][n]; }

class Wizard : public testing::Test {
 protected:
  void Start(WizardOptions options = WizardOptions()) {
    // An existing directory, so that the directory page goes on without asking to create it.
    options.defaultDir = TestDirectory() + "navigation-target";
    CreateDirectoryA(options.defaultDir.c_str(), nullptr);
    const std::string path = WriteTestFile("wizard.exe", WizardSetup(options));
    ASSERT_TRUE(StartSetup(path, &setup_));
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) FinishProgram(setup_.process, 0);
  }
  bool ShowsPage(int page) { return WaitForText(setup_.mainWindow, WindowedCaption(page)); }
  bool ButtonEnabled(int id) { return IsWindowEnabled(GetDlgItem(setup_.frame, id)) != FALSE; }
  // The closing page is the one page whose template has the web button.
  bool ShowsClosingPage() {
    return WaitUntil([&] {
      HWND page = CurrentPageOf(setup_.frame);
      return page != nullptr && GetDlgItem(page, ID_WEB_BUTTON) != nullptr;
    });
  }
  // Answers the open message box with button (IDYES, IDNO, IDOK); its text into *text.
  void Answer(int button, std::string* text) {
    *text = AnswerMessageBox(setup_.process, button);
    ASSERT_NE(*text, "(no box)");
  }
  RunningSetup setup_;
};

TEST_F(Wizard, NextWalksEveryPageToTheClosingPage) {
  Start();
  for (int page = 0; page < CLOSING_PAGE; ++page) {
    // The progress page of a setup without files finishes at its first tick and moves on
    // by itself (its Cancel is tested with the page).
    if (page == PROGRESS_PAGE) continue;
    ASSERT_TRUE(ShowsPage(page)) << "page " << page << ": " << TextOf(setup_.mainWindow);
    EXPECT_EQ(ButtonEnabled(ID_BACK), page >= 1 && page <= 3) << "page " << page;
    EXPECT_EQ(ButtonEnabled(ID_NEXT), true) << "page " << page;
    EXPECT_EQ(ButtonEnabled(ID_CANCEL), page != 5) << "page " << page;
    if (page == 0) Capture::OfWindow(setup_.mainWindow).Save("wizard-windowed-welcome");
    Click(setup_.frame, ID_NEXT);
  }
  ASSERT_TRUE(ShowsClosingPage());
  Click(setup_.frame, ID_CANCEL);  // no question on the closing page
  EXPECT_EQ(FinishProgram(setup_.process), 0u);
}

TEST_F(Wizard, BackShowsThePreviousPage) {
  Start();
  ASSERT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(1));
  Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(2));
  Click(setup_.frame, ID_BACK);
  EXPECT_TRUE(ShowsPage(1));
}

TEST_F(Wizard, CancelAsksFirstNoStaysYesShowsNoticeAndClosingPage) {
  Start();
  ASSERT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_CANCEL);
  std::string question;
  Answer(IDNO, &question);
  EXPECT_EQ(question, Message(CANCEL_QUESTION));
  EXPECT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_CANCEL);
  Answer(IDYES, &question);
  std::string notice;
  Answer(IDOK, &notice);
  EXPECT_EQ(notice, Message(ABORTED_NOTICE));
  EXPECT_TRUE(ShowsClosingPage());
}

TEST_F(Wizard, MainWindowCloseEndsThePageAsCancelled) {
  Start();
  ASSERT_TRUE(ShowsPage(0));
  Click(setup_.frame, ID_NEXT);
  ASSERT_TRUE(ShowsPage(1));
  PostMessageA(setup_.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(ShowsClosingPage());
  EXPECT_EQ(FindWindowA(nullptr, Message(CANCEL_QUESTION).c_str()), nullptr);
  EXPECT_TRUE(IsWindow(setup_.mainWindow));  // the window itself is not closed
}

TEST_F(Wizard, FullScreenFrameCloseEndsThePageWithoutAQuestion) {
  WizardOptions options;
  options.setupFlags |= SETUP_FLAG_FULL_SCREEN;
  Start(options);
  ASSERT_TRUE(WaitForText(setup_.frame, TestTexts()[0][0]));  // the frame carries the page title
  Capture::OfClient(setup_.mainWindow).Save("wizard-full-screen-welcome");
  PostMessageA(setup_.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(ShowsClosingPage());
  Sleep(500);
  HWND box = WaitForMessageBox(setup_.process, 0);
  EXPECT_EQ(box, nullptr) << "asked: " << (box != nullptr ? MessageBoxText(box) : "");
}

TEST_F(Wizard, FixedStartPageShowsThatPageAloneAndCancelEndsIt) {
  WizardOptions options;
  options.startPage = 2;
  Start(options);
  ASSERT_TRUE(ShowsPage(2));
  Click(setup_.frame, ID_CANCEL);
  EXPECT_EQ(FinishProgram(setup_.process), 0u);  // without a question, and no closing page
}

TEST_F(Wizard, EnterPressesNextThroughTheDialogManagers) {
  Start();
  ASSERT_TRUE(ShowsPage(0));
  PressEnter(CurrentPageOf(setup_.frame));
  EXPECT_TRUE(ShowsPage(1));
}

}  // namespace
