// The page runner: shows one page inside the frame dialog until something ends it, and the
// behaviour that all pages share.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the page made from template templateNumber with procedure and initParam as a child
// of the frame, and returns its PageResult once it has ended: 1 next, 2 cancel, 1007 back.
// Returns 1 when the archive has no such template (the page counts as passed) and 2 when
// the page cannot be created.
int RunPage(uint32_t templateNumber, DLGPROC procedure, LPARAM initParam);

// Ends the current page as if the frame button (BUTTON_BACK, BUTTON_NEXT, BUTTON_CANCEL)
// had been pressed; any other value does nothing.
void EndPage(uint32_t button);

// Tells the frame that the page has handled the command: returns 1 from the page procedure
// with 1 as the dialog's message result.
INT_PTR ConsumeCommand(HWND page);

// Moves the page to the frame's page area (its hidden placeholder control).
void PlacePage(HWND page);

// The page procedure shared by pages without their own: the frame's Next, Cancel and Back
// end the page with the matching result.
INT_PTR CALLBACK CommonPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
