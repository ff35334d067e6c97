// The default texts: every list the program reads is there, every string that the program
// formats holds exactly the placeholder it is given, and the texts fit their controls.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "builder/setup/default_texts.h"

namespace {

using Lists = std::vector<std::vector<std::string>>;

// The conversions in a printf format, one letter each; "%%" is a literal percent sign.
std::string Conversions(const std::string& format) {
  std::string found;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') { ++i; continue; }
    found += i + 1 < format.size() ? format[i + 1] : '?';
  }
  return found;
}

// (list, string) of every format the program fills in, with the one conversion it expects.
const std::vector<std::pair<std::pair<uint32_t, uint32_t>, std::string>> FORMATS = {
    {{DIRECTORY_TEXTS, DIRECTORY_MEGABYTES_FORMAT}, "d"},
    {{CONFIRMATION_TEXTS, CONFIRMATION_FOLDER_FORMAT}, "s"},
    {{FINISH_TEXTS, FINISH_FAILURE_FORMAT}, "s"},
    {{MESSAGE_LIST, MESSAGE_NOT_WRITABLE}, "s"},      {{MESSAGE_LIST, MESSAGE_IN_USE_DIFFERENT}, "s"},
    {{MESSAGE_LIST, MESSAGE_CANNOT_READ}, "s"},       {{MESSAGE_LIST, MESSAGE_NO_TEMPORARY_FILE}, "s"},
    {{MESSAGE_LIST, MESSAGE_DAMAGED_COPY}, "s"},      {{MESSAGE_LIST, MESSAGE_CANNOT_REPLACE}, "s"},
    {{MESSAGE_LIST, MESSAGE_INSERT_DISK}, "d"},       {{MESSAGE_LIST, MESSAGE_REPLACE_NEWER}, "s"},
    {{MESSAGE_LIST, MESSAGE_REPLACE_LANGUAGE}, "s"},
};

void ExpectFormatsHoldTheirPlaceholder(const Lists& lists) {
  for (const auto& [where, conversion] : FORMATS) {
    const std::string& s = lists.at(where.first).at(where.second);
    EXPECT_EQ(Conversions(s), conversion) << where.first << "/" << where.second << ": " << s;
  }
}

TEST(DefaultTexts, ListsZeroToSevenPresentEightAbsent) {
  Lists lists = DefaultPageTexts("Example");
  ASSERT_EQ(lists.size(), 8u);
  for (uint32_t k = 0; k <= FINISH_TEXTS; ++k) EXPECT_FALSE(lists[k].at(PAGE_TITLE).empty()) << k;
  EXPECT_EQ(lists[MESSAGE_LIST].size(), 31u);  // up to the last message, 30
  EXPECT_EQ(lists[BUTTON_TEXTS], (std::vector<std::string>{"< &Back", "&Next >", "Cancel",
                                                            "&Install", "OK", "Cancel"}));
}

TEST(DefaultTexts, FormatsHoldExactlyTheirPlaceholder) {
  ExpectFormatsHoldTheirPlaceholder(DefaultPageTexts("Example"));
}

TEST(DefaultTexts, OtherStringsHoldNoPlaceholder) {
  Lists lists = DefaultPageTexts("Example");
  std::set<std::pair<uint32_t, uint32_t>> formats;
  for (const auto& format : FORMATS) formats.insert(format.first);
  for (uint32_t k = 0; k < lists.size(); ++k) {
    for (uint32_t n = 0; n < lists[k].size(); ++n) {
      if (formats.count({k, n}) != 0) continue;
      EXPECT_EQ(Conversions(lists[k][n]), "") << k << "/" << n;
    }
  }
}

TEST(DefaultTexts, PercentInNameIsEscapedOnlyInFormats) {
  Lists lists = DefaultPageTexts("100% Pure");
  ExpectFormatsHoldTheirPlaceholder(lists);
  EXPECT_NE(lists[CONFIRMATION_TEXTS][CONFIRMATION_FOLDER_FORMAT].find("100%% Pure"), std::string::npos);
  EXPECT_NE(lists[MESSAGE_LIST][MESSAGE_INSERT_DISK].find("100%% Pure"), std::string::npos);
  EXPECT_EQ(lists[MESSAGE_LIST][MESSAGE_PROGRAM_TITLE], "100% Pure Setup");  // shown as is
}

TEST(DefaultTexts, AmpersandInNameIsDoubledInCheckBoxLabel) {
  Lists lists = DefaultPageTexts("Salt & Pepper");
  EXPECT_EQ(lists[FINISH_TEXTS][FINISH_RUN_LABEL], "&Start Salt && Pepper now");
  EXPECT_EQ(lists[MESSAGE_LIST][MESSAGE_PROGRAM_TITLE], "Salt & Pepper Setup");
  EXPECT_NE(lists[WELCOME_TEXTS][1].find("Salt & Pepper"), std::string::npos);
}

TEST(DefaultTexts, InformationTextEmptyAndUnusedMessagesEmpty) {
  Lists lists = DefaultPageTexts("Example");
  EXPECT_EQ(lists[INFORMATION_TEXTS].at(INFORMATION_TEXT), "");
  for (uint32_t n : {12, 18, 19, 20, 23, 24, 25, 26, 27}) EXPECT_EQ(lists[MESSAGE_LIST][n], "") << n;
  for (uint32_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 21, 22, 28, 29, 30}) {
    EXPECT_NE(lists[MESSAGE_LIST][n], "") << n;
  }
}

// A 174x25 text holds two lines of about 43 average characters (4 dialog units each); a
// one-line label of width w about w / 4.
TEST(DefaultTexts, PageTextsFitTheirControls) {
  Lists lists = DefaultPageTexts("Example Editor");
  const size_t twoLines = 2 * 174 / 4;
  for (uint32_t k : {WELCOME_TEXTS, DIRECTORY_TEXTS, CONFIRMATION_TEXTS, FINISH_TEXTS}) {
    for (uint32_t n = 1; n <= 4; ++n) EXPECT_LE(lists[k][n].size(), twoLines) << k << "/" << n;
  }
  EXPECT_LE(lists[DIRECTORY_TEXTS][DIRECTORY_SPACE_NEEDED_LABEL].size(), 106u / 4);
  EXPECT_LE(lists[DIRECTORY_TEXTS][DIRECTORY_SPACE_FREE_LABEL].size(), 106u / 4);
  EXPECT_LE(lists[PROGRESS_TEXTS][PROGRESS_FILE_LABEL].size(), 26u / 4);
  EXPECT_LE(lists[FINISH_TEXTS][FINISH_OPEN_LABEL].size(), 101u / 4);
  for (const std::string& label : lists[BUTTON_TEXTS]) EXPECT_LE(label.size(), 50u / 4) << label;
}

TEST(DefaultTexts, NameAppearsInTitleAndPages) {
  Lists lists = DefaultPageTexts("Example");
  EXPECT_EQ(lists[MESSAGE_LIST][TITLE_MESSAGE], "Example Setup");
  for (uint32_t k : {WELCOME_TEXTS, DIRECTORY_TEXTS, CONFIRMATION_TEXTS, PROGRESS_TEXTS, FINISH_TEXTS}) {
    bool named = false;
    for (const std::string& s : lists[k]) named = named || s.find("Example") != std::string::npos;
    EXPECT_TRUE(named) << k;
  }
}

}  // namespace
