// The page procedures of PAGE_TABLE, one file each, and the plain behaviour that a page
// without behaviour of its own has.
#pragma once

#include <windows.h>

#include <cstdint>

#include "wizard/page_setup.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DirectoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConfirmationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ClosingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// A page without behaviour of its own: the common set-up with the page's flag word; the
// frame's defaults answer Next, Back and Cancel.
template <uint32_t FLAGS>
INT_PTR PlainPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    InitPage(page, FLAGS);
    return TRUE;
  }
  return HandleDialogColors(page, message, wParam, lParam);
}
