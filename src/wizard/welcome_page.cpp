// The welcome page: its texts, and Next past an information page that has nothing to show.
#include <windows.h>

#include "archive/page_texts.h"
#include "wizard/page_runner.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

// Next skips the information page when its text is empty; otherwise the frame moves on.
INT_PTR HandleWelcomeCommand(HWND page, WPARAM wParam) {
  if (LOWORD(wParam) != ID_NEXT || PageText(INFORMATION_TEXTS, INFORMATION_TEXT)[0] != '\0') {
    return FALSE;
  }
  GoToPage(DIRECTORY_PAGE);
  return ConsumeCommand(page);
}
