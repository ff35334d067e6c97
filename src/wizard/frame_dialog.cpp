// The frame dialog.
#include "wizard/frame_dialog.h"

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "wizard/drawing.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_setup.h"
#include "wizard/page_state.h"
#include "wizard/picture.h"
#include "wizard/wizard.h"

namespace {

void PlaceFrame(HWND frame) {
  RECT main;
  RECT own;
  if (!GetWindowRect(MainWindow, &main) || !GetWindowRect(frame, &own)) return;
  const int x = FramePosition(ScreenCentreX, own.right - own.left, main.right - main.left);
  const int y = FramePosition(ScreenCentreY, own.bottom - own.top, main.bottom - main.top);
  SetWindowPos(frame, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitFrame(HWND frame) {
  PlaceFrame(frame);
  ApplyDialogFont(frame);  // the session's first call: it makes DialogFont from the frame
  // A captioned frame (full-screen mode) is drawn active from the start.
  PostMessageA(frame, WM_NCACTIVATE, TRUE, 0);
}

void PaintFrame(HWND frame) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame, &paint);
  if (dc == nullptr) return;
  DrawControlFrame(frame, dc, ID_SEPARATOR);
  if (Archive.wizardImage != nullptr) {
    PaintWizardImage(frame, dc, ID_PICTURE_AREA, Archive.wizardImage);
  }
  EndPaint(frame, &paint);
}

// Cancel asks first; Yes ends the page as cancelled and nothing runs after the wizard.
void ConfirmCancel() {
  if (PageButtonFlags & PAGE_CANCEL_NO_CONFIRM) {
    EndPage(BUTTON_CANCEL);
    return;
  }
  ConfirmStop(MESSAGE_CANCEL_SETUP);
}

// True when the frame's button id is disabled: its command did not come from the button (a
// user cannot press it), and ending the page on it would skip what the page is doing, such
// as the progress page's installation.
bool IsDisabledButton(HWND frame, int id) {
  const HWND button = GetDlgItem(frame, id);
  return button != nullptr && !IsWindowEnabled(button);
}

void HandleFrameCommand(HWND frame, WPARAM wParam, LPARAM lParam) {
  // A non-zero answer means the page has handled the command.
  if (CurrentPage != nullptr && SendMessageA(CurrentPage, WM_COMMAND, wParam, lParam) != 0) {
    return;
  }
  const int id = LOWORD(wParam);
  if ((id == ID_NEXT || id == ID_BACK) && IsDisabledButton(frame, id)) return;
  switch (id) {
    case ID_NEXT: EndPage(BUTTON_NEXT); break;
    case ID_BACK: EndPage(BUTTON_BACK); break;
    case ID_CANCEL: ConfirmCancel(); break;
    default: break;
  }
}

// Only the full-screen frame has a system menu; the system's own handling follows.
// True when the command is fully handled. Close ends the page as cancelled without the
// question, so it must not reach the default processing, whose close sends Cancel (and asks).
bool HandleFrameSystemCommand(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_MINIMIZE: ShowWindow(MainWindow, SW_MINIMIZE); return false;
    case SC_CLOSE: EndPage(BUTTON_CANCEL); return true;
    default: return false;
  }
}

}  // namespace

int FramePosition(int centre, int frameSize, int mainSize) {
  const int wanted = centre - frameSize / 2;
  const int limit = mainSize - frameSize;
  const int position = wanted < limit ? wanted : limit;
  return position < 0 ? 0 : position;
}

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

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitFrame(frame);
      return TRUE;
    case WM_PAINT:
      PaintFrame(frame);
      break;
    case WM_COMMAND:
      HandleFrameCommand(frame, wParam, lParam);
      break;
    case WM_SYSCOMMAND:
      if (HandleFrameSystemCommand(wParam)) return TRUE;
      break;
    default:
      break;
  }
  return HandleDialogColors(frame, message, wParam, lParam);
}
