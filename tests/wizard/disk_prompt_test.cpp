// The prompt for the next disk, answered by the test as a user would: OK and "No, go on"
// try again, "Yes, stop" shows the notice and ends the page as cancelled.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "builder/setup/archive_writer.h"
#include "engine/install_state.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"
#include "wizard/disk_prompt.h"
#include "wizard/page_state.h"

using namespace test_setups;

namespace {

// The page texts in Archive as the loader leaves them, message 28 replaced by insertDisk.
void LoadTexts(const std::string& insertDisk) {
  std::vector<std::vector<std::string>> lists = TestTexts();
  if (!insertDisk.empty()) lists[MESSAGE_LIST][MESSAGE_INSERT_DISK] = insertDisk;
  for (uint32_t i = 0; i < PAGE_TEXT_LISTS && i < lists.size(); ++i) {
    const std::vector<uint8_t> list = PageTextList(lists[i]);
    uint8_t* block = nullptr;
    ASSERT_TRUE(MemAlloc(uint32_t(list.size()), &block));
    std::memcpy(block, list.data(), list.size());
    Archive.pageTexts[i] = reinterpret_cast<PageTexts*>(block);
  }
}

DWORD WINAPI AskForDiskThree(void* result) {
  *static_cast<bool*>(result) = AskForNextDisk(3);
  return 0;
}

class DiskPrompt : public testing::Test {
 protected:
  void SetUp() override { LoadTexts(""); }
  void TearDown() override { FreeSetupArchive(); }
  // Runs the prompt on its own thread (its boxes are modal) for disk 3.
  void Ask() {
    thread_ = CreateThread(nullptr, 0, AskForDiskThree, &result_, 0, nullptr);
    ASSERT_NE(thread_, nullptr);
  }
  std::string Answer(int button) { return AnswerMessageBox(self_, button); }
  // The prompt's answer once it returned.
  bool Result() {
    EXPECT_EQ(WaitForSingleObject(thread_, 10000), WAIT_OBJECT_0);
    CloseHandle(thread_);
    return result_;
  }
  Process self_{nullptr, GetCurrentProcessId()};
  HANDLE thread_ = nullptr;
  bool result_ = false;
};

TEST_F(DiskPrompt, OkTriesAgain) {
  Ask();
  EXPECT_EQ(Answer(IDOK), "Please insert disk 3 of Lodrun Test Setup and click OK.");
  EXPECT_TRUE(Result());
}

TEST_F(DiskPrompt, CancelThenNoTriesAgain) {
  Ask();
  Answer(IDCANCEL);
  EXPECT_EQ(Answer(IDNO), PageText(MESSAGE_LIST, MESSAGE_STOP_INSTALLATION));
  EXPECT_TRUE(Result());
}

TEST_F(DiskPrompt, CancelThenYesShowsTheNoticeAndEndsThePageAsCancelled) {
  PageResult = 0;
  RunAtEndEntry = reinterpret_cast<FileEntry*>(this);  // any record: it must be cleared
  Ask();
  Answer(IDCANCEL);
  Answer(IDYES);
  EXPECT_EQ(Answer(IDOK), PageText(MESSAGE_LIST, 15));
  EXPECT_FALSE(Result());
  EXPECT_EQ(PageResult, 2);
  EXPECT_EQ(RunAtEndEntry, nullptr);
}

TEST(DiskPromptText, NumberReplacesItsConversionAndPercentSignsStay) {
  LoadTexts("Disk %d: 100%% done");
  char text[DISK_PROMPT_SIZE];
  FormatDiskPrompt(text, 12);
  EXPECT_STREQ(text, "Disk 12: 100% done");
  FreeSetupArchive();
}

TEST(DiskPromptText, OtherConversionsAreShownAsTheyAre) {
  LoadTexts("Insert %s, disk %d");
  char text[DISK_PROMPT_SIZE];
  FormatDiskPrompt(text, 2);
  EXPECT_STREQ(text, "Insert %s, disk %d");
  FreeSetupArchive();
}

TEST(DiskPromptText, LongTextIsCutToItsBuffer) {
  LoadTexts(std::string(DISK_PROMPT_SIZE - 3, 'x') + "%d of many");
  char text[DISK_PROMPT_SIZE + 8];
  std::memset(text, '#', sizeof text);
  FormatDiskPrompt(text, 4294967295u);
  EXPECT_EQ(std::strlen(text), DISK_PROMPT_SIZE - 1);
  EXPECT_EQ(std::string(text).substr(DISK_PROMPT_SIZE - 3), "42");  // the digits cut too
  EXPECT_EQ(text[DISK_PROMPT_SIZE], '#');
  FreeSetupArchive();
}

}  // namespace
