// PageText never fails: a missing list or string, and a string that its list's block does
// not hold in full, read as the empty string.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "builder/setup/archive_writer.h"

namespace {

class PageTextTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeSetupArchive(); }

  void LoadList(uint32_t k, const std::vector<uint8_t>& list) {
    uint8_t* block = nullptr;
    ASSERT_TRUE(MemAlloc(static_cast<uint32_t>(list.size()), &block));
    std::memcpy(block, list.data(), list.size());
    Archive.pageTexts[k] = reinterpret_cast<PageTexts*>(block);
  }
};

TEST_F(PageTextTest, ReturnsStringsByNumberUpToCount) {
  LoadList(MESSAGE_LIST, PageTextList({"Title", "", "Third"}));
  EXPECT_STREQ(PageText(MESSAGE_LIST, 0), "Title");
  EXPECT_STREQ(PageText(MESSAGE_LIST, 1), "");
  EXPECT_STREQ(PageText(MESSAGE_LIST, 2), "Third");
  EXPECT_STREQ(PageText(MESSAGE_LIST, 3), "");
  EXPECT_STREQ(PageText(MESSAGE_LIST, 65535), "");
  EXPECT_STREQ(PageText(MESSAGE_LIST, 65536), "");
}

TEST_F(PageTextTest, MissingListsReadEmpty) {
  EXPECT_STREQ(PageText(MESSAGE_LIST, 0), "");
  LoadList(0, PageTextList({"A"}));
  EXPECT_STREQ(PageText(PAGE_TEXT_LISTS, 0), "");
  EXPECT_STREQ(PageText(0, 0), "A");
}

TEST_F(PageTextTest, StringsBeyondTheBlockReadEmpty) {
  // The count promises five strings; the block holds two, the second unterminated.
  std::vector<uint8_t> list = {5, 0, 'a', 0, 'b', 'c'};
  LoadList(1, list);
  EXPECT_STREQ(PageText(1, 0), "a");
  EXPECT_STREQ(PageText(1, 1), "");
  EXPECT_STREQ(PageText(1, 4), "");
  LoadList(2, {1});  // too short for its count
  EXPECT_STREQ(PageText(2, 0), "");
}

}  // namespace
