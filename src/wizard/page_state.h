// The page loop's shared state: which page comes next and how the open page ended. The
// session's page loop reads it; pages, the frame dialog and the main window write it.
#pragma once

// Pages 0 to 6: welcome, information, directory, confirmation, progress, finish, closing.
constexpr int PAGE_COUNT = 7;
constexpr int CLOSING_PAGE = 6;   // every cancel leads here
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
