// The closing page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK ClosingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<CLOSING_PAGE_FLAGS>(page, message, wParam, lParam);
}
