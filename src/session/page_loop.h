// The wizard's page loop: pages 0 to 6 run one at a time, and each page's result chooses
// the next one.
#pragma once

#include <cstdint>

// The page that follows pageIndex for a page's result, or PAGE_LOOP_END.
int NextPageIndex(int pageIndex, int result);

// Shows one page and returns its result.
using RunPageFunction = int (*)(int pageIndex);

// Runs the page loop: from page 0 through the whole sequence when startPage is
// START_PAGE_ALL, otherwise the page startPage alone, whatever its result.
void RunPageLoop(uint16_t startPage, RunPageFunction runPage);
