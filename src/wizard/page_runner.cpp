// The page runner: each page is a modeless child dialog of the frame with a nested message
// loop of its own, which ends as soon as PageResult is non-zero.
#include "wizard/page_runner.h"

#include "archive/templates.h"
#include "wizard/page_state.h"
#include "wizard/wizard.h"

namespace {

// Runs the page's messages until it has a result. The frame's dialog manager sees every
// message first (its default button is Next), the page's second.
void RunPageMessages(HWND page) {
  MSG message;
  while (PageResult == PAGE_OPEN) {
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
      PageResult = PAGE_CANCEL;  // the quit message ends the page; it is not posted again
      break;
    }
    if (IsDialogMessageA(FrameDialog, &message) || IsDialogMessageA(page, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

INT_PTR HandleCommonCommand(HWND page, int id) {
  switch (id) {
    case ID_NEXT: EndPage(BUTTON_NEXT); return ConsumeCommand(page);
    case ID_CANCEL: EndPage(BUTTON_CANCEL); return ConsumeCommand(page);
    case ID_BACK: EndPage(BUTTON_BACK); return ConsumeCommand(page);
    default: return FALSE;
  }
}

}  // namespace

int RunPage(uint32_t templateNumber, DLGPROC procedure, LPARAM initParam) {
  PageResult = PAGE_OPEN;
  void* pageTemplate = GetTemplateCopy(templateNumber);
  if (pageTemplate == nullptr) return PAGE_NEXT;
  int result = PAGE_CANCEL;
  HWND page = CreateDialogIndirectParamA(ProgramInstance,
                                         static_cast<LPCDLGTEMPLATEA>(pageTemplate),
                                         FrameDialog, procedure, initParam);
  if (page != nullptr) {
    RunPageMessages(page);
    DestroyWindow(page);
    if (CurrentPage == page) CurrentPage = nullptr;
    result = PageResult;
  }
  FreeTemplateCopy(pageTemplate);
  return result;
}

void EndPage(uint32_t button) {
  switch (button) {
    case BUTTON_BACK: PageResult = PAGE_BACK; break;
    case BUTTON_NEXT: PageResult = PAGE_NEXT; break;
    case BUTTON_CANCEL: PageResult = PAGE_CANCEL; break;
    default: return;
  }
  // The page loop waits in GetMessageA, which does not return for a message sent from
  // another thread: a posted message wakes it so that it sees the result.
  PostMessageA(nullptr, WM_NULL, 0, 0);
}

INT_PTR ConsumeCommand(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
  return TRUE;
}

void PlacePage(HWND page) {
  HWND area = GetDlgItem(FrameDialog, ID_PAGE_AREA);
  if (area == nullptr) return;
  RECT rect;
  GetWindowRect(area, &rect);
  POINT origin = {rect.left, rect.top};
  ScreenToClient(FrameDialog, &origin);
  SetWindowPos(page, nullptr, origin.x, origin.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CommonPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CurrentPage = page;
      PlacePage(page);
      return TRUE;
    case WM_COMMAND:
      return HandleCommonCommand(page, LOWORD(wParam));
    default:
      return FALSE;
  }
}
