// The main window: the parent of the whole wizard. In windowed mode a captioned frame
// around the frame dialog; in full-screen mode it covers the screen.
#pragma once

#include <windows.h>

inline constexpr char MAIN_WINDOW_CLASS[] = "LodrunClass";  // one copy in the program

// Window styles: full-screen background mode, and windowed mode (which is also the frame
// that the main window gets around the frame dialog).
constexpr DWORD FULL_SCREEN_STYLE = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD WINDOWED_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Registers the main window class; false when the system refuses it.
bool RegisterMainWindowClass();

// Creates MainWindow over the whole screen (ScreenWidth x ScreenHeight), titled with the
// program's title, and records the screen centre. False when it cannot be created.
bool CreateMainWindow();

// Windowed mode: sizes the main window so that its client area is the frame dialog's
// rectangle, and moves the frame to the client area's origin.
void FitMainWindowToFrame(HWND frame);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
