// The definitions of the session's Win32 state, and its small helpers.
#include "session/session_win32.h"

#include "archive/archive_format.h"

HINSTANCE ProgramInstance = nullptr;
HWND MainWindow = nullptr;
HBRUSH DialogBrush = nullptr;
int ScreenCentreX = 0;
int ScreenCentreY = 0;

void CreateDialogBrush() {
  DialogBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  if (DialogBrush == nullptr) DialogBrush = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

void DeleteDialogBrush() {
  if (DialogBrush != nullptr && DialogBrush != GetStockObject(LTGRAY_BRUSH)) {
    DeleteObject(DialogBrush);
  }
  DialogBrush = nullptr;
}

bool GetOwnPath(char* buffer) {
  // A path that fills the whole buffer may have been cut (and left unterminated on NT).
  DWORD length = GetModuleFileNameA(nullptr, buffer, PATH_BUFFER_SIZE);
  if (length == 0 || length >= PATH_BUFFER_SIZE) {
    buffer[0] = '\0';
    return false;
  }
  buffer[length] = '\0';
  return true;
}
