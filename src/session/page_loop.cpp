// The page loop and its transitions.
#include "session/page_loop.h"

#include "archive/archive_format.h"
#include "wizard/page_state.h"

int NextPageIndex(int pageIndex, int result) {
  switch (result) {
    case PAGE_NEXT:
      return pageIndex >= CLOSING_PAGE ? PAGE_LOOP_END : pageIndex + 1;
    case PAGE_CANCEL:
      return pageIndex < CLOSING_PAGE ? CLOSING_PAGE : PAGE_LOOP_END;
    case PAGE_BACK:
      return pageIndex > 0 ? pageIndex - 1 : pageIndex;
    default:
      return pageIndex;  // any other result shows the same page again
  }
}

void RunPageLoop(uint16_t startPage, RunPageFunction runPage) {
  bool singlePage = startPage != START_PAGE_ALL;
  PageIndex = singlePage ? startPage : 0;
  while (PageIndex != PAGE_LOOP_END) {
    int result = runPage(PageIndex);
    if (singlePage) break;
    PageIndex = NextPageIndex(PageIndex, result);
  }
}
