// The main window: class, creation, sizing around the frame dialog, window procedure.
#include "session/main_window.h"

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "session/background.h"
#include "session/session.h"
#include "wizard/page_runner.h"
#include "wizard/wizard.h"

bool RegisterMainWindowClass() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = ProgramInstance;
  windowClass.hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(PROGRAM_ICON));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // No background brush: in windowed mode the frame dialog covers the whole client area.
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = MAIN_WINDOW_CLASS;
  return RegisterClassA(&windowClass) != 0;
}

bool CreateMainWindow() {
  const bool fullScreen = (Archive.SetupFlags & SETUP_FLAG_FULL_SCREEN) != 0;
  MainWindow = CreateWindowExA(0, MAIN_WINDOW_CLASS, PageText(MESSAGE_LIST, TITLE_MESSAGE),
                               fullScreen ? FULL_SCREEN_STYLE : WINDOWED_STYLE, 0, 0,
                               ScreenWidth, ScreenHeight, nullptr, nullptr, ProgramInstance,
                               nullptr);
  if (MainWindow == nullptr) return false;
  ScreenCentreX = ScreenWidth / 2;
  ScreenCentreY = ScreenHeight / 2;
  return true;
}

void FitMainWindowToFrame(HWND frame) {
  RECT rect;
  if (!GetWindowRect(frame, &rect)) return;
  AdjustWindowRect(&rect, WINDOWED_STYLE, FALSE);
  SetWindowPos(MainWindow, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(frame, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

bool FullScreen() { return (Archive.SetupFlags & SETUP_FLAG_FULL_SCREEN) != 0; }

// Paints the background in full-screen mode; false leaves WM_PAINT to the default (windowed
// mode, or a minimised window).
bool PaintMainWindow(HWND window) {
  if (!FullScreen() || IsIconic(window)) return false;
  PaintBackground(window, Archive.backgroundImage, Archive.backgroundTitle);
  if (FrameDialog != nullptr) RedrawWindow(FrameDialog, nullptr, nullptr, RDW_FRAME);
  return true;
}

// False when the command is answered here and the default must not run.
bool HandleSystemCommand(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_MAXIMIZE:
    case SC_RESTORE:
      if (FrameDialog != nullptr) ShowWindow(FrameDialog, SW_SHOWNORMAL);
      return true;
    case SC_CLOSE:
      // The window stays; the open page ends as cancelled.
      EndPage(BUTTON_CANCEL);
      return false;
    default:
      return true;
  }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      // Ends the message loop that drains the session's last messages.
      PostQuitMessage(0);
      break;
    case WM_PAINT:
      if (PaintMainWindow(window)) return 0;
      break;
    case WM_ACTIVATEAPP:
      // The frame's caption is drawn active or inactive together with the application.
      if (FrameDialog != nullptr) PostMessageA(FrameDialog, WM_NCACTIVATE, wParam, 0);
      break;
    case WM_SYSCOMMAND:
      if (!HandleSystemCommand(wParam)) return 0;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
