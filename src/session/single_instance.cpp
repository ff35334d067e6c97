// The single-instance rule: the running setup is recognised by its main window's class.
#include "session/single_instance.h"

#include <windows.h>

#include "session/main_window.h"

bool ActivateRunningInstance() {
  HWND running = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
  if (running == nullptr) return false;
  // Making it the foreground window also brings it to the top of the z-order.
  SetForegroundWindow(running);
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  // A message box or other pop-up of the running setup goes on top of its window.
  HWND popup = GetLastActivePopup(running);
  if (popup != nullptr && popup != running) SetForegroundWindow(popup);
  return true;
}
