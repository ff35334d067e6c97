// The confirmation page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK ConfirmationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<CONFIRMATION_PAGE_FLAGS>(page, message, wParam, lParam);
}
