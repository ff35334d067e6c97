// The frame dialog: the wizard's outer dialog with the wizard picture, a separator line, the
// Back, Next and Cancel buttons and the area in which the current page is shown.
#pragma once

#include <windows.h>

// Creates FrameDialog from a template copy as a child of MainWindow; false when the dialog
// cannot be created.
bool CreateFrameDialog(void* frameTemplate);

// Destroys FrameDialog, when it exists.
void DestroyFrameDialog();

// Every command goes to the current page first; what the page leaves alone gets the frame's
// defaults: Next and Back end the page, Cancel asks first (unless the page says not to).
INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

// The frame's position on the screen: centred on (centreX, centreY), kept inside the main
// window's size where it fits, else at 0 on that axis.
int FramePosition(int centre, int frameSize, int mainSize);
