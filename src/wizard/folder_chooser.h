// The folder chooser: the system's old-style save-file dialog on template 7 of the setup,
// whose hook turns it into a picker of folders.
#pragma once

#include <windows.h>

// Lets the user choose a folder, starting in the one that path names. When the user
// confirms a folder, it replaces path (PATH_BUFFER_SIZE bytes); otherwise path is unchanged,
// also when there is no memory or no template for the dialog.
void ChooseFolder(HWND owner, char* path);

// The hook given to the common dialog: shows the folder opened in its folder list, and ends
// the dialog on OK with the folder typed or opened.
UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
