// PAGE_TABLE. Template 5 serves both the welcome and the confirmation page.
#include "wizard/page_table.h"

#include "wizard/page_runner.h"

const PageTableEntry PAGE_TABLE[PAGE_COUNT] = {
    {5, CommonPageProc},  // 0 welcome
    {3, CommonPageProc},  // 1 information
    {2, CommonPageProc},  // 2 directory
    {5, CommonPageProc},  // 3 confirmation
    {4, CommonPageProc},  // 4 progress: runs the installation
    {6, CommonPageProc},  // 5 finish
    {8, CommonPageProc},  // 6 closing: every cancel leads here
};

int RunTablePage(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= PAGE_COUNT) return PAGE_CANCEL;
  const PageTableEntry& page = PAGE_TABLE[pageIndex];
  return RunPage(page.templateNumber, page.procedure, 0);
}
