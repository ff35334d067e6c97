// The progress page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<PROGRESS_PAGE_FLAGS>(page, message, wParam, lParam);
}
