// The frame dialog: the wizard's outer dialog with the Back, Next and Cancel buttons and the
// area in which the current page is shown.
#pragma once

#include <windows.h>

// Creates FrameDialog from a template copy as a child of MainWindow; false when the dialog
// cannot be created.
bool CreateFrameDialog(void* frameTemplate);

// Destroys FrameDialog, when it exists.
void DestroyFrameDialog();

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
