// The session's Win32 helpers, in the program build only.
#pragma once

#include <windows.h>

// DialogBrush: a solid brush of the button-face colour, or the stock light-grey brush when
// none can be made. DeleteDialogBrush leaves the stock brush alone.
void CreateDialogBrush();
void DeleteDialogBrush();
