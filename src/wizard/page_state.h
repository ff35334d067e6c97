// The page loop's shared state: which page comes next and how the open page ended. The
// session's page loop reads it; pages, the frame dialog and the main window write it.
#pragma once

#include "archive/archive_format.h"

// The pages by number, in the order the loop shows them.
enum PageNumber : int {
  WELCOME_PAGE = 0,
  INFORMATION_PAGE = 1,
  DIRECTORY_PAGE = 2,
  CONFIRMATION_PAGE = 3,
  PROGRESS_PAGE = 4,
  FINISH_PAGE = 5,
  CLOSING_PAGE = 6,  // every cancel leads here
  PAGE_COUNT = 7,
};
static_assert(PAGE_COUNT == LAST_PAGE + 1, "the archive's start page names every page");
constexpr int PAGE_LOOP_END = -1;

// Page results: 0 while the page is open.
constexpr int PAGE_OPEN = 0;
constexpr int PAGE_NEXT = 1;
constexpr int PAGE_CANCEL = 2;
constexpr int PAGE_BACK = 1007;

// PageIndex is the page shown next (-1 ends the loop); PageResult is the open page's
// result, 0 while it is open.
extern int PageIndex;
extern int PageResult;
