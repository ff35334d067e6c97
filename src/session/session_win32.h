// The session's Win32 state, in the program build only: the instance, the main window, the
// dialog brush and the screen centre that the frame dialog is placed around.
#pragma once

#include <windows.h>

extern HINSTANCE ProgramInstance;
extern HWND MainWindow;
extern HBRUSH DialogBrush;  // button-face background of every wizard dialog
extern int ScreenCentreX;
extern int ScreenCentreY;

// DialogBrush: a solid brush of the button-face colour, or the stock light-grey brush when
// none can be made. DeleteDialogBrush leaves the stock brush alone.
void CreateDialogBrush();
void DeleteDialogBrush();

// The program's own file path into a PATH_BUFFER_SIZE buffer; false (buffer emptied) when
// the system cannot tell it or it does not fit.
bool GetOwnPath(char* buffer);
