// The progress page as a user sees it: the whole wizard installs a setup's files, a fixed
// start page installs and stays on view with its bar, and Cancel during the installation
// asks first (No goes on, Yes stops and leaves no uninstall data).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "resources/dialog_ids.h"
#include "support/test_setups.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;

namespace {

constexpr int DIRECTORY_PAGE = 2;
constexpr int PROGRESS_PAGE = 4;
constexpr DWORD QUESTION_WAIT_MS = 2000;
constexpr uint32_t STOP_QUESTION = 13;

std::vector<uint8_t> Bytes(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 13 + seed + (i >> 10));
  return bytes;
}

FileInput File(const std::string& name, size_t size, uint8_t seed) {
  FileInput input;
  input.record.name = name;
  input.record.installMode = MODE_REMOVE;
  input.content = Bytes(size, seed);
  return input;
}

class ProgressPage : public testing::Test {
 protected:
  void SetUp() override {
    target_ = TestDirectory() + "progress-target";
    RemoveTree(target_);
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
    RemoveTree(target_);
  }
  void Start(WizardOptions options) {
    options.defaultDir = target_;
    // A file of each test's own: a setup of an earlier test may still be ending.
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(StartSetup(WriteTestFile(name + ".exe", WizardSetup(options)), &setup_));
  }
  std::string Target(const std::string& name) const { return target_ + "\\" + name; }
  bool ShowsPage(int page) { return WaitForText(setup_.mainWindow, WindowedCaption(page)); }
  // Next from the first page up to page; the directory page's question whether to create
  // the new directory is answered Yes.
  void NextTo(int page) {
    for (int shown = 0; shown < page; ++shown) {
      ASSERT_TRUE(ShowsPage(shown)) << "page " << shown;
      Click(setup_.frame, ID_NEXT);
      if (shown == DIRECTORY_PAGE && WaitForMessageBox(setup_.process, QUESTION_WAIT_MS) != nullptr) {
        AnswerMessageBox(setup_.process, IDYES);
      }
    }
  }
  std::vector<FileInput> ManyFiles(int count) {
    std::vector<FileInput> files;
    for (int i = 0; i < count; ++i) files.push_back(File("data" + std::to_string(i) + ".bin", 400000, uint8_t(i)));
    return files;
  }
  std::string target_;
  RunningSetup setup_;
};

TEST_F(ProgressPage, WholeWizardInstallsTheFilesAndMovesToTheFinishPage) {
  WizardOptions options;
  options.files = {File("readme.txt", 100, 1), File("Help\\guide.hlp", 70000, 2),
                   File("LICENSE", 5, 3)};
  Start(options);
  NextTo(PROGRESS_PAGE);
  EXPECT_TRUE(ShowsPage(5));
  EXPECT_EQ(ReadTestFile(Target("readme.txt")), Bytes(100, 1));
  EXPECT_EQ(ReadTestFile(Target("Help\\guide.hlp")), Bytes(70000, 2));
  EXPECT_EQ(ReadTestFile(Target("LICENSE")), Bytes(5, 3));
}

TEST_F(ProgressPage, FixedStartPageInstallsAndStaysWithAFullBar) {
  WizardOptions options;
  options.startPage = PROGRESS_PAGE;
  options.files = {File("a.txt", 10, 4), File("b.txt", 20, 5), File("c.txt", 30, 6)};
  Start(options);
  HWND page = CurrentPageOf(setup_.frame);
  ASSERT_TRUE(WaitUntil([&] { return ControlText(page, ID_PROGRESS_PERCENT) == "100%"; }));
  EXPECT_EQ(ReadTestFile(Target("c.txt")), Bytes(30, 6));
  const std::string shown = ControlText(page, ID_CURRENT_FILE);  // shortened to its line
  EXPECT_EQ(shown.substr(shown.size() < 6 ? 0 : shown.size() - 6), "\\c.txt");
  EXPECT_LE(shown.size(), 33u);
  RECT bar;
  GetWindowRect(GetDlgItem(page, ID_PROGRESS_BAR), &bar);
  Capture shot = Capture::OfWindow(setup_.frame);
  shot.Save("progress-page-full");
  RECT frame;
  GetWindowRect(setup_.frame, &frame);
  const int y = (bar.top + bar.bottom) / 2 - frame.top;
  const COLORREF blockColour = GetSysColor(COLOR_ACTIVECAPTION);
  int blocks = 0;
  for (int x = bar.left - frame.left + 1; x < bar.right - frame.left - 1; ++x) {
    if (shot.Pixel(x, y) == blockColour && shot.Pixel(x - 1, y) != blockColour) ++blocks;
  }
  const int height = bar.bottom - bar.top;
  const int step = height / 2 + 2;
  EXPECT_EQ(blocks, (bar.right - bar.left - 1 - height / 2) / step + 1);  // every whole block
  Click(setup_.frame, ID_CANCEL);  // ends the page without a question
  EXPECT_EQ(FinishProgram(setup_.process), 0u);
}

TEST_F(ProgressPage, NextOrBackCommandWhileInstallingIsIgnored) {
  WizardOptions options;
  options.files = ManyFiles(30);
  Start(options);
  NextTo(PROGRESS_PAGE);
  ASSERT_TRUE(ShowsPage(PROGRESS_PAGE));
  // Their buttons are disabled: the commands come from elsewhere and must not end the page.
  Click(setup_.frame, ID_NEXT);
  Click(setup_.frame, ID_BACK);
  ASSERT_TRUE(ShowsPage(5));
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(ReadTestFile(Target("data" + std::to_string(i) + ".bin")), Bytes(400000, uint8_t(i))) << i;
  }
}

TEST_F(ProgressPage, CancelAnsweredNoGoesOnToTheFinishPage) {
  WizardOptions options;
  options.files = ManyFiles(30);
  Start(options);
  NextTo(PROGRESS_PAGE);
  ASSERT_TRUE(ShowsPage(PROGRESS_PAGE));
  Click(setup_.frame, ID_CANCEL);
  EXPECT_EQ(AnswerMessageBox(setup_.process, IDNO), TestTexts()[MESSAGE_LIST][STOP_QUESTION]);
  EXPECT_TRUE(ShowsPage(5));
  EXPECT_EQ(ReadTestFile(Target("data29.bin")), Bytes(400000, 29));
}

TEST_F(ProgressPage, CancelAnsweredYesStopsAndLeavesNoHalfWrittenFile) {
  WizardOptions options;
  options.files = ManyFiles(30);
  Start(options);
  NextTo(PROGRESS_PAGE);
  ASSERT_TRUE(ShowsPage(PROGRESS_PAGE));
  Click(setup_.frame, ID_CANCEL);
  AnswerMessageBox(setup_.process, IDYES);
  AnswerMessageBox(setup_.process, IDOK);  // the notice
  ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(CurrentPageOf(setup_.frame), ID_WEB_BUTTON) != nullptr; }));
  Capture::OfWindow(setup_.frame).Save("progress-cancelled-closing");
  int installed = 0;
  for (int i = 0; i < 30; ++i) {
    const std::string path = Target("data" + std::to_string(i) + ".bin");
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    const std::vector<uint8_t> bytes = ReadTestFile(path);
    EXPECT_EQ(bytes, Bytes(400000, uint8_t(i))) << i;  // whole, or not there
    ++installed;
  }
  EXPECT_LT(installed, 30);
  WIN32_FIND_DATAA found;
  HANDLE temporary = FindFirstFileA(Target("*.$$?").c_str(), &found);
  EXPECT_EQ(temporary, INVALID_HANDLE_VALUE) << found.cFileName;
  if (temporary != INVALID_HANDLE_VALUE) FindClose(temporary);
}

}  // namespace
