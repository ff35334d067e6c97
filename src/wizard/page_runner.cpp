// The page runner: each page is a modeless child dialog of the frame with a nested message
// loop of its own, which ends as soon as PageResult is non-zero.
#include "wizard/page_runner.h"

#include "archive/templates.h"
#include "wizard/page_state.h"
#include "wizard/wizard.h"

namespace {

// Runs the page's messages until it has a result; the result is tested before each message,
// so a page that ends itself while it is created runs no loop at all. The frame's dialog
// manager sees every message first (its default button is Next), the page's second.
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

void EndPageWith(int result) {
  PageResult = result;
  // The page loop waits in GetMessageA, which does not return for a message sent from
  // another thread: a posted message wakes it so that it sees the result.
  PostMessageA(nullptr, WM_NULL, 0, 0);
}

void EndPage(uint32_t button) {
  switch (button) {
    case BUTTON_BACK: EndPageWith(PAGE_BACK); break;
    case BUTTON_NEXT: EndPageWith(PAGE_NEXT); break;
    case BUTTON_CANCEL: EndPageWith(PAGE_CANCEL); break;
    default: break;
  }
}

void GoToPage(int n) {
  // The page loop adds one after a Next; going to page 0 works through -1.
  PageIndex = n - 1;
  EndPage(BUTTON_NEXT);
}

INT_PTR ConsumeCommand(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
  return TRUE;
}
