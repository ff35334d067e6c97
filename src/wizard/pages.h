// The behaviour of each page of PAGE_TABLE, one file per page: what it does after InitPage
// on WM_INITDIALOG (its return is the dialog procedure's) and with its commands (TRUE when
// handled), as PageTableEntry describes them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "wizard/page_setup.h"

INT_PTR HandleWelcomeCommand(HWND page, WPARAM wParam);

BOOL InitDirectoryPage(HWND page);
INT_PTR HandleDirectoryCommand(HWND page, WPARAM wParam);

BOOL InitConfirmationPage(HWND page);
INT_PTR HandleConfirmationCommand(HWND page, WPARAM wParam);

BOOL InitProgressPage(HWND page);
INT_PTR HandleProgressCommand(HWND page, WPARAM wParam);
// The installation's timer ticks and posted steps, the painting of the bar, and the end of
// the page.
BOOL HandleProgressMessage(HWND page, UINT message);

BOOL InitFinishPage(HWND page);
INT_PTR HandleFinishCommand(HWND page, WPARAM wParam);

BOOL InitClosingPage(HWND page);
INT_PTR HandleClosingCommand(HWND page, WPARAM wParam);
