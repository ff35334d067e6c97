// The information page: the information text (a read-me, a licence) in a read-only edit
// box that scrolls, shown as stored. Next and Back are the frame's.
#include <windows.h>

#include "wizard/page_table.h"
#include "wizard/pages.h"

namespace {

// The text goes into the edit box 1000. The focus goes to Next, not to the box: a box that
// takes the focus selects its whole text, and a user would see it from its end, marked.
void InitInformationPage(HWND page) {
  InitPage(page, INFORMATION_PAGE_FLAGS);
  SetFocus(GetDlgItem(FrameDialog, ID_NEXT));
}

}  // namespace

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitInformationPage(page);
      return FALSE;  // the focus is on Next
    default:
      break;
  }
  return HandleDialogColors(page, message, wParam, lParam);
}
