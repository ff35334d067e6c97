// The frame dialog. Every command goes to the current page first; what the page leaves
// alone gets the frame's default handling.
#include "wizard/frame_dialog.h"

#include "wizard/page_runner.h"
#include "wizard/wizard.h"

namespace {

void HandleFrameCommand(WPARAM wParam, LPARAM lParam) {
  // A non-zero answer means the page has handled the command.
  if (CurrentPage != nullptr && SendMessageA(CurrentPage, WM_COMMAND, wParam, lParam) != 0) {
    return;
  }
  switch (LOWORD(wParam)) {
    case ID_NEXT: EndPage(BUTTON_NEXT); break;
    case ID_BACK: EndPage(BUTTON_BACK); break;
    case ID_CANCEL:
      if (PageButtonFlags & PAGE_CANCEL_NO_CONFIRM) EndPage(BUTTON_CANCEL);
      break;
  }
}

}  // namespace

bool CreateFrameDialog(void* frameTemplate) {
  FrameDialog = CreateDialogIndirectParamA(ProgramInstance,
                                           static_cast<LPCDLGTEMPLATEA>(frameTemplate),
                                           MainWindow, FrameDialogProc, 0);
  return FrameDialog != nullptr;
}

void DestroyFrameDialog() {
  if (FrameDialog != nullptr) DestroyWindow(FrameDialog);
  FrameDialog = nullptr;
  CurrentPage = nullptr;
}

INT_PTR CALLBACK FrameDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      HandleFrameCommand(wParam, lParam);
      return FALSE;
    default:
      return FALSE;
  }
}
