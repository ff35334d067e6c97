// PAGE_TABLE. Template 5 serves both the welcome and the confirmation page.
#include "wizard/page_table.h"

#include "resources/dialog_ids.h"
#include "wizard/page_runner.h"

const PageTableEntry PAGE_TABLE[PAGE_COUNT] = {
    {TEMPLATE_TEXT_PAGE, CommonPageProc},         // 0 welcome
    {TEMPLATE_INFORMATION_PAGE, CommonPageProc},  // 1 information
    {TEMPLATE_DIRECTORY_PAGE, CommonPageProc},    // 2 directory
    {TEMPLATE_TEXT_PAGE, CommonPageProc},         // 3 confirmation
    {TEMPLATE_PROGRESS_PAGE, CommonPageProc},     // 4 progress: runs the installation
    {TEMPLATE_FINISH_PAGE, CommonPageProc},       // 5 finish
    {TEMPLATE_CLOSING_PAGE, CommonPageProc},      // 6 closing: every cancel leads here
};

int RunTablePage(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PAGE_COUNT) return PAGE_CANCEL;
  const PageTableEntry& page = PAGE_TABLE[pageIndex];
  return RunPage(page.templateNumber, page.procedure, 0);
}
