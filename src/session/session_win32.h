// The session's Win32 helpers, in the program build only.
#pragma once

#include <windows.h>

// DialogBrush: a solid brush of the button-face colour, or the stock light-grey brush when
// none can be made. DeleteDialogBrush leaves the stock brush alone.
void CreateDialogBrush();
void DeleteDialogBrush();

// The program's own file path into a PATH_BUFFER_SIZE buffer; false (buffer emptied) when
// the system cannot tell it or it does not fit.
bool GetOwnPath(char* buffer);
