// The finish page after a real installation: the success text, the failure text in the room
// of all three texts, the button that opens the installed document (or the document opened
// at once when the button has no label), and the check box that decides whether the
// installed program starts after the wizard.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "page_setups.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;
using namespace page_tests;

namespace {

constexpr int FINISH_PAGE = 5;
constexpr uint32_t FINISH_LIST = 5;
constexpr uint32_t SUCCESS_TEXT = 1;
constexpr uint32_t DOCUMENT_NOTE = 2;
constexpr uint32_t RUN_NOTE = 3;
constexpr uint32_t FAILURE_FORMAT = 4;
constexpr uint32_t OPEN_LABEL = 5;
constexpr uint32_t RUN_LABEL = 6;
constexpr uint32_t CANNOT_READ_MESSAGE = 16;
constexpr uint32_t DAMAGED_COPY_MESSAGE = 21;
constexpr DWORD NOTHING_STARTED_MS = 1500;

const std::string& Text(uint32_t list, uint32_t n) { return TestTexts()[list][n]; }

std::string Replaced(std::string format, const std::string& argument) {
  return format.replace(format.find("%s"), 2, argument);
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + (i >> 8) + 3);
  return bytes;
}

class FinishPage : public testing::Test {
 protected:
  FinishPage() : target_("finish-target") {}
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
  }
  WizardOptions Options(std::vector<FileInput> files) {
    WizardOptions options;
    options.defaultDir = target_.Path();
    options.files = std::move(files);
    return options;
  }
  // Runs the setup through the whole wizard up to the finish page.
  void InstallToFinish(const std::vector<uint8_t>& setup) {
    ASSERT_TRUE(StartSetup(WriteTestFile("finish.exe", setup), &setup_));
    for (int page = 0; page < 4; ++page) {
      ASSERT_TRUE(WaitForText(setup_.mainWindow, WindowedCaption(page))) << "page " << page;
      Click(setup_.frame, ID_NEXT);
    }
    ASSERT_TRUE(WaitForText(setup_.mainWindow, WindowedCaption(FINISH_PAGE)));
    page_ = CurrentPageOf(setup_.frame);
  }
  bool Visible(int id) { return IsWindowVisible(GetDlgItem(page_, id)) != FALSE; }
  RECT Rect(int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(page_, id), &rect);
    return rect;
  }
  // Next on the finish page, Cancel on the closing page: the program ends.
  void EndWizard() {
    Click(setup_.frame, ID_NEXT);
    ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(CurrentPageOf(setup_.frame), ID_WEB_BUTTON) != nullptr; }));
    Click(setup_.frame, ID_CANCEL);
    EXPECT_EQ(FinishProgram(setup_.process), 0u);
  }
  ScratchDirectory target_;
  RunningSetup setup_;
  HWND page_ = nullptr;
};

TEST_F(FinishPage, SuccessShowsTheSuccessTextAndNoOffersWithoutDocumentOrProgram) {
  InstallToFinish(WizardSetup(Options({TestFile("data.bin", Pattern(3000))})));
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_1), Text(FINISH_LIST, SUCCESS_TEXT));
  EXPECT_FALSE(Visible(ID_OPEN_DOCUMENT));
  EXPECT_FALSE(Visible(ID_RUN_AT_END));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(setup_.frame, ID_CANCEL)));
  Capture::OfWindow(setup_.mainWindow).Save("pages-finish-success");
  EndWizard();
}

TEST_F(FinishPage, DamagedFileShowsTheFailureTextInTheRoomOfAllThreeTexts) {
  const std::vector<uint8_t> content = Pattern(5000);
  std::vector<uint8_t> setup = WizardSetup(
      Options({TestFile("damaged.bin", content), TestFile("app.exe", Pattern(10), END_RUN)}));
  auto stream = std::search(setup.begin(), setup.end(), content.begin(), content.end());
  ASSERT_NE(stream, setup.end());  // the stream is stored: its bytes are the content's
  stream[2500] ^= 0xFF;
  InstallToFinish(setup);
  const std::string reason =
      Replaced(Text(MESSAGE_LIST, DAMAGED_COPY_MESSAGE), target_.File("damaged.bin"));
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_1), Replaced(Text(FINISH_LIST, FAILURE_FORMAT), reason));
  EXPECT_FALSE(Visible(ID_PAGE_TEXT_2));
  EXPECT_FALSE(Visible(ID_PAGE_TEXT_3));
  EXPECT_FALSE(Visible(ID_RUN_AT_END));
  EXPECT_EQ(Rect(ID_PAGE_TEXT_1).bottom, Rect(ID_PAGE_TEXT_3).bottom);
  EXPECT_EQ(Rect(ID_PAGE_TEXT_1).right - Rect(ID_PAGE_TEXT_1).left,
            Rect(ID_PAGE_TEXT_3).right - Rect(ID_PAGE_TEXT_3).left);
  Capture::OfWindow(setup_.mainWindow).Save("pages-finish-failure");
  EndWizard();
}

// The progress page cannot be shown, so the page runner passes it as done: nothing was
// installed, and the finish page must not say it was.
TEST_F(FinishPage, InstallationThatNeverRanIsToldAsAFailure) {
  WizardOptions options = Options({TestFile("data.bin", Pattern(300))});
  options.absentTemplate = TEMPLATE_PROGRESS_PAGE;
  InstallToFinish(WizardSetup(options));
  const std::string reason =
      Replaced(Text(MESSAGE_LIST, CANNOT_READ_MESSAGE), TestDirectory() + "finish.exe");
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_1), Replaced(Text(FINISH_LIST, FAILURE_FORMAT), reason));
  EXPECT_FALSE(Exists(target_.File("data.bin")));
  EndWizard();
}

TEST_F(FinishPage, OpenButtonOpensTheInstalledDocumentEachTimeItIsPressed) {
  RecorderFileType type(DOCUMENT_EXTENSION);
  DeleteLog(RecorderPath());
  const std::string name = std::string("Read Me") + DOCUMENT_EXTENSION;
  InstallToFinish(WizardSetup(Options({TestFile(name, Pattern(100), END_OPEN)})));
  ASSERT_TRUE(Visible(ID_OPEN_DOCUMENT));
  EXPECT_EQ(ControlText(page_, ID_OPEN_DOCUMENT), Text(FINISH_LIST, OPEN_LABEL));
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_2), Text(FINISH_LIST, DOCUMENT_NOTE));
  EXPECT_FALSE(Visible(ID_RUN_AT_END));
  Capture::OfWindow(setup_.mainWindow).Save("pages-finish-open-button");
  EXPECT_TRUE(LoggedLines(RecorderPath()).empty());  // nothing opens before the click
  Click(page_, ID_OPEN_DOCUMENT);
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  EXPECT_NE(LoggedLines(RecorderPath())[0].find(target_.File(name)), std::string::npos)
      << LoggedLines(RecorderPath())[0];
  Click(page_, ID_OPEN_DOCUMENT);
  EXPECT_TRUE(WaitForLoggedLines(RecorderPath(), 2));
  EndWizard();
  DeleteLog(RecorderPath());
}

TEST_F(FinishPage, OpenButtonWithoutLabelOpensTheDocumentAtOnce) {
  RecorderFileType type(DOCUMENT_EXTENSION);
  DeleteLog(RecorderPath());
  const std::string name = std::string("readme") + DOCUMENT_EXTENSION;
  WizardOptions options = Options({TestFile(name, Pattern(100), END_OPEN)});
  PageTextLists texts = TextsOf(options);
  texts[FINISH_LIST][OPEN_LABEL] = "";
  InstallToFinish(SetupWithTexts(options, texts));
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  EXPECT_NE(LoggedLines(RecorderPath())[0].find(target_.File(name)), std::string::npos);
  EXPECT_FALSE(Visible(ID_OPEN_DOCUMENT));
  EndWizard();
  EXPECT_EQ(LoggedLines(RecorderPath()).size(), 1u);
  DeleteLog(RecorderPath());
}

TEST_F(FinishPage, TickedCheckBoxStartsTheProgramAfterTheWizard) {
  const std::vector<uint8_t> recorder = ReadTestFile(RecorderPath());
  InstallToFinish(WizardSetup(Options({TestFile("app.exe", recorder, END_RUN)})));
  ASSERT_TRUE(Visible(ID_RUN_AT_END));
  EXPECT_EQ(ControlText(page_, ID_RUN_AT_END), Text(FINISH_LIST, RUN_LABEL));
  EXPECT_EQ(SendMessageA(GetDlgItem(page_, ID_RUN_AT_END), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_GT(Rect(ID_RUN_AT_END).top, Rect(ID_PAGE_TEXT_3).top);  // in its own place, below its text
  Capture::OfWindow(setup_.mainWindow).Save("pages-finish-run-check-box");
  EndWizard();
  EXPECT_TRUE(WaitForLoggedLines(target_.File("app.exe"), 1));
}

TEST_F(FinishPage, UntickedCheckBoxKeepsTheProgramFromStarting) {
  const std::vector<uint8_t> recorder = ReadTestFile(RecorderPath());
  InstallToFinish(WizardSetup(Options({TestFile("app.exe", recorder, END_RUN)})));
  ASSERT_TRUE(Visible(ID_RUN_AT_END));
  // A click of its own: the box changes its mark and tells the page.
  SendMessageA(GetDlgItem(page_, ID_RUN_AT_END), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(GetDlgItem(page_, ID_RUN_AT_END), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EndWizard();
  Sleep(NOTHING_STARTED_MS);
  EXPECT_FALSE(Exists(LogOf(target_.File("app.exe"))));
}

TEST_F(FinishPage, CheckBoxTakesThePlaceOfAnUnusedButtonAndItsText) {
  const std::vector<uint8_t> recorder = ReadTestFile(RecorderPath());
  WizardOptions options = Options({TestFile("app.exe", recorder, END_RUN)});
  PageTextLists texts = TextsOf(options);
  texts[FINISH_LIST][DOCUMENT_NOTE] = "";
  InstallToFinish(SetupWithTexts(options, texts));
  ASSERT_TRUE(Visible(ID_RUN_AT_END));
  EXPECT_EQ(Rect(ID_RUN_AT_END).top, Rect(ID_OPEN_DOCUMENT).top);
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_2), Text(FINISH_LIST, RUN_NOTE));
  EXPECT_EQ(ControlText(page_, ID_PAGE_TEXT_3), "");
  Capture::OfWindow(setup_.mainWindow).Save("pages-finish-check-box-moved");
}

}  // namespace
