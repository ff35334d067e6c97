// PAGE_TABLE and the dialog procedure of its pages. Template 5 serves both the welcome and
// the confirmation page.
#include "wizard/page_table.h"

#include "resources/dialog_ids.h"
#include "wizard/page_runner.h"
#include "wizard/pages.h"

// The information page is its template alone: the information text (a read-me, a licence)
// in a read-only edit box that scrolls, shown as stored, and the frame's Back and Next.
const PageTableEntry PAGE_TABLE[] = {
    {TEMPLATE_TEXT_PAGE, WELCOME_PAGE_FLAGS, nullptr, HandleWelcomeCommand, nullptr},
    {TEMPLATE_INFORMATION_PAGE, INFORMATION_PAGE_FLAGS, FocusOnNext, nullptr, nullptr},
    {TEMPLATE_DIRECTORY_PAGE, DIRECTORY_PAGE_FLAGS, InitDirectoryPage, HandleDirectoryCommand, nullptr},
    {TEMPLATE_TEXT_PAGE, CONFIRMATION_PAGE_FLAGS, InitConfirmationPage, HandleConfirmationCommand, nullptr},
    {TEMPLATE_PROGRESS_PAGE, PROGRESS_PAGE_FLAGS, InitProgressPage, HandleProgressCommand,
     HandleProgressMessage},
    {TEMPLATE_FINISH_PAGE, FINISH_PAGE_FLAGS, InitFinishPage, HandleFinishCommand, nullptr},
    {TEMPLATE_CLOSING_PAGE, CLOSING_PAGE_FLAGS, InitClosingPage, HandleClosingCommand, nullptr},
};
static_assert(sizeof PAGE_TABLE / sizeof PAGE_TABLE[0] == PAGE_COUNT, "one row per page");

namespace {

// The row of the page that RunTablePage shows. Not PageIndex: a page that moves the loop on
// (GoToPage) changes it while the page still gets its last messages.
const PageTableEntry* shownPage = PAGE_TABLE;

INT_PTR CALLBACK TablePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  const PageTableEntry& row = *shownPage;
  switch (message) {
    case WM_INITDIALOG:
      InitPage(page, row.flags);
      return row.init != nullptr ? row.init(page) : TRUE;
    case WM_COMMAND:
      if (row.command != nullptr && row.command(page, wParam)) return TRUE;
      break;
    default:
      if (row.message != nullptr && row.message(page, message)) return TRUE;
      break;
  }
  return HandleDialogColors(page, message, wParam, lParam);
}

}  // namespace

int RunTablePage(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PAGE_COUNT) return PAGE_CANCEL;
  shownPage = &PAGE_TABLE[pageIndex];
  return RunPage(shownPage->templateNumber, TablePageProc, 0);
}
