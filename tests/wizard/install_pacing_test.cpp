// The progress page's pacing in the running setup: without BLOCK_INSTALL_PACING one file per
// timer tick (the files written 50 ms apart), with the builder's pacing several files per
// tick, a gap of 0 without a timer's wait, and Cancel still answered within the slice while
// a large setup installs (and the installation going on after the question is declined).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "builder/manifest/manifest.h"
#include "resources/dialog_ids.h"
#include "support/test_setups.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;

namespace {

constexpr uint16_t PROGRESS_PAGE = 4;
constexpr int DIRECTORY_PAGE = 2;
constexpr DWORD QUESTION_WAIT_MS = 2000;
constexpr int FILES = 600;  // a few seconds of installing under Wine
constexpr DWORD CANCEL_ANSWER_MS = 200;  // the slice, the box's creation, and the poll

class ProgressPacing : public testing::Test {
 protected:
  void SetUp() override {
    target_ = TestDirectory() + "pacing-target";
    RemoveTree(target_);
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) CloseWizard(setup_);
    RemoveTree(target_);
  }
  // A setup installing count files of size bytes into target_: the progress page alone, or
  // the whole wizard.
  void Start(int count, size_t size, std::optional<uint32_t> pacing, uint16_t startPage = PROGRESS_PAGE) {
    WizardOptions options;
    options.defaultDir = target_;
    options.startPage = startPage;
    options.installPacing = pacing;
    for (int i = 0; i < count; ++i) {
      FileInput file;
      file.record.name = Name(i);
      file.record.installMode = MODE_REMOVE;
      file.content.assign(size, uint8_t(i));
      options.files.push_back(file);
    }
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(StartSetup(WriteTestFile(name + ".exe", WizardSetup(options)), &setup_));
  }
  static std::string Name(int i) { return "f" + std::to_string(1000 + i) + ".bin"; }
  bool Installed(int i) const { return GetFileAttributesA((target_ + "\\" + Name(i)).c_str()) != INVALID_FILE_ATTRIBUTES; }
  void WaitForAll(int count) {
    ASSERT_TRUE(WaitUntil([&] { return ControlText(CurrentPageOf(setup_.frame), ID_PROGRESS_PERCENT) == "100%"; },
                          PROCESS_TIMEOUT_MS));
    for (int i = 0; i < count; ++i) ASSERT_TRUE(Installed(i)) << Name(i);
  }
  // The milliseconds between the last writes of file i and file i + 1, for each i.
  std::vector<double> WriteGaps(int count) const {
    std::vector<double> gaps;
    ULONGLONG previous = 0;
    for (int i = 0; i < count; ++i) {
      WIN32_FILE_ATTRIBUTE_DATA data;
      if (!GetFileAttributesExA((target_ + "\\" + Name(i)).c_str(), GetFileExInfoStandard, &data)) return {};
      const ULONGLONG written = ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
      if (i > 0) gaps.push_back(double(written - previous) / 10000.0);  // 100 ns units
      previous = written;
    }
    return gaps;
  }
  std::string target_;
  RunningSetup setup_;
};

TEST_F(ProgressPacing, SetupWithoutTheBlockInstallsOneFilePerTick) {
  Start(8, 1000, std::nullopt);
  WaitForAll(8);
  const std::vector<double> gaps = WriteGaps(8);
  ASSERT_EQ(gaps.size(), 7u);
  // The timer's 50 ms lie between two files (Wine's timers may fire a few ms early).
  EXPECT_GE(*std::min_element(gaps.begin(), gaps.end()), 40.0);
}

TEST_F(ProgressPacing, BuildersPacingInstallsSeveralFilesPerTick) {
  Start(40, 1000, InstallPacing(INSTALL_SLICE_MS, INSTALL_GAP_MS));
  WaitForAll(40);
  const std::vector<double> gaps = WriteGaps(40);
  ASSERT_EQ(gaps.size(), 39u);
  const auto close = std::count_if(gaps.begin(), gaps.end(), [](double gap) { return gap < 20.0; });
  EXPECT_GE(close, 30) << "of 39 gaps, under 20 ms";
}

// With a gap of 0 the next step is posted at once while nothing waits: the steps follow each
// other closer than any timer's shortest interval (10 ms).
TEST_F(ProgressPacing, GapOfZeroFollowsWithoutATimersWait) {
  Start(40, 1000, InstallPacing(0, 0));
  WaitForAll(40);
  const std::vector<double> gaps = WriteGaps(40);
  ASSERT_EQ(gaps.size(), 39u);
  const auto close = std::count_if(gaps.begin(), gaps.end(), [](double gap) { return gap < 8.0; });
  EXPECT_GE(close, 30) << "of 39 gaps between single-file steps, under 8 ms";
}

TEST_F(ProgressPacing, CancelIsAnsweredWithinTheSliceWhileInstalling) {
  Start(FILES, 50000, InstallPacing(INSTALL_SLICE_MS, INSTALL_GAP_MS), START_PAGE_ALL);
  // Next up to the progress page; Yes to creating the new directory.
  for (int page = 0; page < PROGRESS_PAGE; ++page) {
    ASSERT_TRUE(WaitForText(setup_.mainWindow, WindowedCaption(page))) << "page " << page;
    Click(setup_.frame, ID_NEXT);
    if (page == DIRECTORY_PAGE && WaitForMessageBox(setup_.process, QUESTION_WAIT_MS) != nullptr) {
      AnswerMessageBox(setup_.process, IDYES);
    }
  }
  ASSERT_TRUE(WaitUntil([&] { return Installed(FILES / 10); }));
  if (Installed(FILES - 1)) GTEST_SKIP() << "the setup installed before Cancel could be posted";
  const DWORD posted = GetTickCount();
  Click(setup_.frame, ID_CANCEL);
  HWND box = nullptr;
  while (box == nullptr && GetTickCount() - posted < WINDOW_TIMEOUT_MS) {
    box = WaitForMessageBox(setup_.process, 0);
    if (box == nullptr) Sleep(5);
  }
  const DWORD answered = GetTickCount() - posted;
  std::printf("the question came %lu ms after Cancel\n", answered);
  ASSERT_NE(box, nullptr);
  EXPECT_LE(answered, CANCEL_ANSWER_MS);
  EXPECT_FALSE(Installed(FILES - 1));  // asked while installing, not after
  AnswerMessageBox(setup_.process, IDNO);
  EXPECT_TRUE(WaitForText(setup_.mainWindow, WindowedCaption(PROGRESS_PAGE + 1)));  // the finish page
  EXPECT_TRUE(Installed(FILES - 1));
}

}  // namespace
