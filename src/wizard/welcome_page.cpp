// The welcome page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<WELCOME_PAGE_FLAGS>(page, message, wParam, lParam);
}
