// The session's small Win32 helpers.
#include "session/session_win32.h"

#include "base/path_buffer.h"
#include "wizard/wizard.h"

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
