// The wizard's pages in order, each with its dialog template and page procedure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "wizard/page_state.h"

struct PageTableEntry {
  uint32_t templateNumber;
  DLGPROC procedure;
};

// Pages 0 to 6: welcome, information, directory, confirmation, progress, finish, closing.
extern const PageTableEntry PAGE_TABLE[PAGE_COUNT];

// Runs page pageIndex of PAGE_TABLE with RunPage and returns its result; an index outside
// the table ends like a cancelled page.
int RunTablePage(int pageIndex);
