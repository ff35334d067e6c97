// The closing page: its caption comes from its template's hidden text, and its web button
// opens the program's web site, or the application's own that the setup names, as often as
// it is pressed, while the page stays.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "page_setups.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;
using namespace page_tests;

namespace {

constexpr uint16_t CLOSING_PAGE = 6;
constexpr char CLOSING_CAPTION[] = "Setup complete";  // the default template's control 1005
constexpr char WEB_ADDRESS[] = "https://lodrun.example/";

class ClosingPage : public testing::Test {
 protected:
  void Start(WizardOptions options) {
    options.startPage = CLOSING_PAGE;
    ASSERT_TRUE(StartSetup(WriteTestFile("closing.exe", WizardSetup(options)), &setup_));
    // The page window exists a moment before its controls.
    ASSERT_TRUE(WaitUntil([&] {
      page_ = CurrentPageOf(setup_.frame);
      return GetDlgItem(page_, ID_WEB_BUTTON) != nullptr;
    }));
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
  }
  RunningSetup setup_;
  HWND page_ = nullptr;
};

TEST_F(ClosingPage, CaptionIsTheTemplatesText) {
  Start(WizardOptions());
  EXPECT_TRUE(WaitForText(setup_.mainWindow, CLOSING_CAPTION)) << TextOf(setup_.mainWindow);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page_, ID_CLOSING_CAPTION)));
  Capture::OfWindow(setup_.mainWindow).Save("pages-closing");
  Click(setup_.frame, ID_CANCEL);  // without a question
  EXPECT_EQ(FinishProgram(setup_.process), 0u);
}

TEST_F(ClosingPage, FullScreenCaptionIsTheFrames) {
  WizardOptions options;
  options.setupFlags |= SETUP_FLAG_FULL_SCREEN;
  Start(options);
  EXPECT_TRUE(WaitForText(setup_.frame, CLOSING_CAPTION)) << TextOf(setup_.frame);
  Capture::OfWindow(setup_.frame).Save("pages-closing-full-screen");
}

TEST_F(ClosingPage, WebButtonOpensTheWebAddressEachTimeAndThePageStays) {
  RecorderFileType protocol("https");
  DeleteLog(RecorderPath());
  Start(WizardOptions());
  Click(page_, ID_WEB_BUTTON);
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  EXPECT_NE(LoggedLines(RecorderPath())[0].find(WEB_ADDRESS), std::string::npos)
      << LoggedLines(RecorderPath())[0];
  Click(page_, ID_WEB_BUTTON);
  EXPECT_TRUE(WaitForLoggedLines(RecorderPath(), 2));
  EXPECT_EQ(CurrentPageOf(setup_.frame), page_);
  EXPECT_EQ(WaitForSingleObject(setup_.process.handle, 0), DWORD(WAIT_TIMEOUT));
  DeleteLog(RecorderPath());
}

TEST_F(ClosingPage, WebButtonOpensTheAddressThatTheSetupNames) {
  RecorderFileType protocol("https");
  DeleteLog(RecorderPath());
  WizardOptions options;
  options.appEntry = AppEntryBlock(APP_ENTRY_NO_ICON, 0, "", "", "https://lodrun.test/own-page");
  Start(options);
  Click(page_, ID_WEB_BUTTON);
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  const std::string opened = LoggedLines(RecorderPath())[0];
  EXPECT_NE(opened.find("https://lodrun.test/own-page"), std::string::npos) << opened;
  EXPECT_EQ(opened.find(WEB_ADDRESS), std::string::npos) << opened;
  DeleteLog(RecorderPath());
}

}  // namespace
