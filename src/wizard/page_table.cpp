// PAGE_TABLE. Template 5 serves both the welcome and the confirmation page.
#include "wizard/page_table.h"

#include "resources/dialog_ids.h"
#include "wizard/page_runner.h"
#include "wizard/pages.h"

const PageTableEntry PAGE_TABLE[] = {
    {TEMPLATE_TEXT_PAGE, WelcomePageProc},              // 0 welcome
    {TEMPLATE_INFORMATION_PAGE, InformationPageProc},   // 1 information
    {TEMPLATE_DIRECTORY_PAGE, DirectoryPageProc},       // 2 directory
    {TEMPLATE_TEXT_PAGE, ConfirmationPageProc},         // 3 confirmation
    {TEMPLATE_PROGRESS_PAGE, ProgressPageProc},         // 4 progress
    {TEMPLATE_FINISH_PAGE, FinishPageProc},             // 5 finish
    {TEMPLATE_CLOSING_PAGE, ClosingPageProc},           // 6 closing
};
static_assert(sizeof PAGE_TABLE / sizeof PAGE_TABLE[0] == PAGE_COUNT, "one row per page");

int RunTablePage(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PAGE_COUNT) return PAGE_CANCEL;
  const PageTableEntry& page = PAGE_TABLE[pageIndex];
  return RunPage(page.templateNumber, page.procedure, 0);
}
