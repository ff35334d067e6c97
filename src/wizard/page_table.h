// The wizard's pages in order, each with its dialog template, its frame buttons and its
// behaviour, run by one dialog procedure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "wizard/page_state.h"
#include "wizard/wizard.h"

// One page. Its dialog procedure calls InitPage with flags on WM_INITDIALOG, then init, and
// returns what init returns (TRUE: the dialog manager gives the focus; FALSE: init gave it);
// without init it returns TRUE. command gets WM_COMMAND and returns TRUE when it handled it
// (the frame's defaults apply otherwise); message, when the page has one, gets every other
// message first, TRUE when it handled it. What no function handled gets the dialog colours.
struct PageTableEntry {
  uint8_t templateNumber;
  uint16_t flags;
  BOOL (*init)(HWND page);
  INT_PTR (*command)(HWND page, WPARAM wParam);
  BOOL (*message)(HWND page, UINT message);
};

// The flag word that each page gives InitPage: which frame buttons it enables, and whether
// its Cancel ends it without the question.
constexpr uint32_t WELCOME_PAGE_FLAGS = BUTTON_NEXT | BUTTON_CANCEL;
constexpr uint32_t INFORMATION_PAGE_FLAGS = BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL;
constexpr uint32_t DIRECTORY_PAGE_FLAGS = BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL;
constexpr uint32_t CONFIRMATION_PAGE_FLAGS = BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL;
constexpr uint32_t PROGRESS_PAGE_FLAGS = BUTTON_CANCEL;
constexpr uint32_t FINISH_PAGE_FLAGS = BUTTON_NEXT | PAGE_CANCEL_NO_CONFIRM;
constexpr uint32_t CLOSING_PAGE_FLAGS = BUTTON_CANCEL | PAGE_CANCEL_NO_CONFIRM;

// Pages 0 to 6: welcome, information, directory, confirmation, progress, finish, closing.
extern const PageTableEntry PAGE_TABLE[];  // PAGE_COUNT rows

// Runs page pageIndex of PAGE_TABLE with RunPage and returns its result; an index outside
// the table ends like a cancelled page.
int RunTablePage(int pageIndex);
