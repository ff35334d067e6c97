// What every wizard dialog shares: the common set-up of a page, the frame's buttons, the
// dialog font and the dialog colours.
#pragma once

#include <windows.h>

#include <cstdint>

// Caption of the main window while a page shows: the setup title, " - ", the page title, in
// a buffer of this size (a longer caption is cut, and stays terminated).
constexpr uint32_t CAPTION_BUFFER_SIZE = 1024;
constexpr char CAPTION_SEPARATOR[] = " - ";

// Called by the pages' dialog procedure first on WM_INITDIALOG, with the flags of the page's
// row of PAGE_TABLE: the page becomes CurrentPage, gets the dialog font, moves to the frame's
// page area, sets the captions, fills controls 1000 to 1003 with strings 1 to 4 of its text
// list, gives the frame's buttons their standard labels and enables them by flags (plus
// PAGE_CANCEL_NO_CONFIRM when the setup shows one page).
void InitPage(HWND page, uint32_t flags);

// Gives the focus to the frame's Next and returns FALSE, as a page's WM_INITDIALOG does
// when it has set the focus itself: the first control of a page would take it otherwise (an
// edit box that takes it selects its whole text, and shows it from its end, marked).
BOOL FocusOnNext(HWND page);

// Control id of dialog shows string n of text list.
void SetListText(HWND dialog, int id, uint32_t list, uint32_t n);

// Stores PageButtonFlags and enables or disables the frame's Back, Next and Cancel buttons.
void SetPageButtons(uint32_t flags);

// Sets the label of one frame button (BUTTON_BACK, BUTTON_NEXT, BUTTON_CANCEL) to string n
// of the button texts; any other button value does nothing.
void SetButtonText(uint32_t button, uint32_t n);

// Makes DialogFont from the window's font at normal weight when there is none yet, then
// gives it to every direct child of the window (grandchildren are not visited).
void ApplyDialogFont(HWND window);

// The common colour handling that every wizard dialog procedure ends in: the button-face
// background for message boxes, buttons, dialogs and static controls (DialogBrush); 0 for
// every other message, so edit and list boxes keep the system's colours.
INT_PTR HandleDialogColors(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Deletes DialogFont, when one was made.
void DeleteDialogFont();
