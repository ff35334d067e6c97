// PAGE_TABLE. Template 5 serves both the welcome and the confirmation page.
#include "wizard/page_table.h"

#include "resources/dialog_ids.h"
#include "wizard/page_runner.h"
#include "wizard/page_setup.h"

namespace {

// A page without behaviour of its own: the common set-up with the page's flag word; the
// frame's defaults answer Next, Back and Cancel.
template <uint32_t FLAGS>
INT_PTR CALLBACK PlainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    InitPage(page, FLAGS);
    return TRUE;
  }
  return HandleDialogColors(page, message, wParam, lParam);
}

}  // namespace

const PageTableEntry PAGE_TABLE[PAGE_COUNT] = {
    {TEMPLATE_TEXT_PAGE, PlainPageProc<WELCOME_PAGE_FLAGS>},              // 0 welcome
    {TEMPLATE_INFORMATION_PAGE, PlainPageProc<INFORMATION_PAGE_FLAGS>},   // 1 information
    {TEMPLATE_DIRECTORY_PAGE, PlainPageProc<DIRECTORY_PAGE_FLAGS>},       // 2 directory
    {TEMPLATE_TEXT_PAGE, PlainPageProc<CONFIRMATION_PAGE_FLAGS>},         // 3 confirmation
    {TEMPLATE_PROGRESS_PAGE, PlainPageProc<PROGRESS_PAGE_FLAGS>},         // 4 progress
    {TEMPLATE_FINISH_PAGE, PlainPageProc<FINISH_PAGE_FLAGS>},             // 5 finish
    {TEMPLATE_CLOSING_PAGE, PlainPageProc<CLOSING_PAGE_FLAGS>},           // 6 closing
};

int RunTablePage(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PAGE_COUNT) return PAGE_CANCEL;
  const PageTableEntry& page = PAGE_TABLE[pageIndex];
  return RunPage(page.templateNumber, page.procedure, 0);
}
