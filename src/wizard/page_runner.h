// The page runner: shows one page inside the frame dialog until something ends it, and the
// operations that end a page.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the page made from template templateNumber with procedure and initParam as a child
// of the frame, and returns its PageResult once it has ended: 1 next, 2 cancel, 1007 back
// (the closing page may end with any command). Returns 1 when no copy of the template can
// be made (the page counts as passed) and 2 when the page cannot be created.
int RunPage(uint32_t templateNumber, DLGPROC procedure, LPARAM initParam);

// Ends the current page as if the frame button (BUTTON_BACK, BUTTON_NEXT, BUTTON_CANCEL)
// had been pressed; any other value does nothing.
void EndPage(uint32_t button);

// Ends the current page with result, whatever it is (the closing page ends with the command
// that reached it).
void EndPageWith(int result);

// Ends the current page so that the page loop continues with page n.
void GoToPage(int n);

// Tells the frame that the page has handled the command: returns 1 from the page procedure
// with 1 as the dialog's message result.
INT_PTR ConsumeCommand(HWND page);
