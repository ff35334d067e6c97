// The directory page.
#include "wizard/page_table.h"
#include "wizard/pages.h"

INT_PTR CALLBACK DirectoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PlainPage<DIRECTORY_PAGE_FLAGS>(page, message, wParam, lParam);
}
