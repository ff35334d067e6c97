// The words of the numbered settings, which the manifest reader takes and list shows.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "archive/archive_format.h"
#include "builder/setup/record_words.h"

namespace {

const WordTable* const TABLES[] = {&DESTINATION_WORDS, &MODE_WORDS,  &REGISTRATION_WORDS,
                                   &END_ACTION_WORDS,  &PAGE_WORDS, &REGISTRY_ROOT_WORDS};

TEST(RecordWords, EachWordNamesOneValueAndReadsBackToIt) {
  for (const WordTable* table : TABLES) {
    std::set<std::string> seen;
    for (const NamedValue& named : *table) {
      EXPECT_TRUE(seen.insert(named.word).second) << named.word << " is in a table twice";
      uint32_t value = ~0u;
      ASSERT_TRUE(ValueOf(*table, named.word, &value));
      EXPECT_EQ(value, named.value) << named.word;
    }
  }
}

// start_page takes a page's word or its number; both must mean the same page.
TEST(RecordWords, PagesHaveOneWordEachInTheOrderTheProgramShowsThem) {
  ASSERT_EQ(PAGE_WORDS.size(), size_t(LAST_PAGE) + 1);
  for (uint32_t page = 0; page <= LAST_PAGE; ++page) EXPECT_EQ(PAGE_WORDS[page].value, page);
  EXPECT_STREQ(WordOf(PAGE_WORDS, 0, 0), "welcome");
  EXPECT_STREQ(WordOf(PAGE_WORDS, LAST_PAGE, 0), "closing");
}

TEST(RecordWords, ValuesTheProgramReadsAsAnotherAreShownAsThatOne) {
  EXPECT_STREQ(WordOf(DESTINATION_WORDS, 9, DIR_INSTALL), "install");
  EXPECT_STREQ(WordOf(MODE_WORDS, 200, MODE_KEEP), "keep");
  EXPECT_STREQ(WordOf(REGISTRY_ROOT_WORDS, 17, DIR_REG_CURRENT_USER), "HKEY_CURRENT_USER");
  EXPECT_STREQ(WordOf(REGISTRY_ROOT_WORDS, DIR_REG_USERS, 0), "HKEY_USERS");  // the long name first
  uint32_t value = 0;
  EXPECT_FALSE(ValueOf(MODE_WORDS, "Keep", &value));  // the manifest's words are lower case
}

}  // namespace
