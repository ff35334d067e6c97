// The information page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<INFORMATION_PAGE_FLAGS>(page, message, wParam, lParam);
}
