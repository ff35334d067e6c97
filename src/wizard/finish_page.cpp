// The finish page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<FINISH_PAGE_FLAGS>(page, message, wParam, lParam);
}
