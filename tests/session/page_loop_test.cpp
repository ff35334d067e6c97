// The page loop: which pages run, in which order, for the pages' results.
#include <gtest/gtest.h>

#include <vector>

#include "archive/archive_format.h"
#include "session/page_loop.h"
#include "wizard/page_state.h"

namespace {

// A scripted run: each page shown answers with the next result from the script, and the
// pages shown are recorded. Pages beyond the script fail the test and steer the loop to
// its end (cancel, then next on the closing page).
std::vector<int> script;
std::vector<int> shown;

int ScriptedPage(int pageIndex) {
  shown.push_back(pageIndex);
  if (shown.size() > script.size()) {
    ADD_FAILURE() << "page " << pageIndex << " shown beyond the script";
    return pageIndex < CLOSING_PAGE ? PAGE_CANCEL : PAGE_NEXT;
  }
  return script[shown.size() - 1];
}

std::vector<int> RunPages(uint16_t startPage, std::vector<int> results) {
  script = std::move(results);
  shown.clear();
  RunPageLoop(startPage, ScriptedPage);
  return shown;
}

TEST(PageLoop, NextThroughWholeSequenceShowsEveryPageOnce) {
  std::vector<int> all(PAGE_COUNT, PAGE_NEXT);
  EXPECT_EQ(RunPages(START_PAGE_ALL, all), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(PageIndex, PAGE_LOOP_END);
}

TEST(PageLoop, CancelOnProgressPageLeadsToClosingPage) {
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_NEXT, PAGE_NEXT, PAGE_NEXT, PAGE_NEXT, PAGE_CANCEL, PAGE_NEXT}),
            (std::vector<int>{0, 1, 2, 3, 4, 6}));
}

TEST(PageLoop, CancelOrNextOnClosingPageEndsLoop) {
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_CANCEL, PAGE_CANCEL}), (std::vector<int>{0, 6}));
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_CANCEL, PAGE_NEXT}), (std::vector<int>{0, 6}));
}

TEST(PageLoop, BackStepsOnePageAndStaysOnFirstPage) {
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_BACK, PAGE_NEXT, PAGE_NEXT, PAGE_BACK, PAGE_CANCEL, PAGE_NEXT}),
            (std::vector<int>{0, 0, 1, 2, 1, 6}));
}

TEST(PageLoop, BackOnClosingPageReturnsToFinishPage) {
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_CANCEL, PAGE_BACK, PAGE_NEXT, PAGE_NEXT}),
            (std::vector<int>{0, 6, 5, 6}));
}

TEST(PageLoop, OtherResultsShowTheSamePageAgain) {
  EXPECT_EQ(RunPages(START_PAGE_ALL, {PAGE_NEXT, PAGE_OPEN, 42, PAGE_CANCEL, PAGE_NEXT}),
            (std::vector<int>{0, 1, 1, 1, 6}));
}

TEST(PageLoop, FixedStartPageRunsThatPageAloneWhateverItsResult) {
  for (int result : {PAGE_NEXT, PAGE_CANCEL, PAGE_BACK, 42}) {
    EXPECT_EQ(RunPages(2, {result}), (std::vector<int>{2})) << result;
  }
  EXPECT_EQ(RunPages(LAST_PAGE, {PAGE_NEXT}), (std::vector<int>{6}));
  EXPECT_EQ(RunPages(0, {PAGE_BACK}), (std::vector<int>{0}));
}

TEST(PageLoop, NextPageIndexCoversEveryPage) {
  for (int page = 0; page < PAGE_COUNT; ++page) {
    EXPECT_EQ(NextPageIndex(page, PAGE_NEXT), page < CLOSING_PAGE ? page + 1 : PAGE_LOOP_END);
    EXPECT_EQ(NextPageIndex(page, PAGE_CANCEL), page < CLOSING_PAGE ? CLOSING_PAGE : PAGE_LOOP_END);
    EXPECT_EQ(NextPageIndex(page, PAGE_BACK), page > 0 ? page - 1 : 0);
  }
}

}  // namespace
