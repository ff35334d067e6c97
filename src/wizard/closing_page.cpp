// The closing page: the last page of every run, whatever its template shows. Its caption
// comes from the template, and its web button opens the program's web site.
#include <windows.h>

#include "archive/app_entry.h"
#include "archive/setup_archive.h"
#include "engine/open_at_end.h"
#include "wizard/page_runner.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// The program's web site, opened as a document of the type of web pages, unless the setup's
// entry names the application's own. It is the one place that names it.
constexpr char WEB_ADDRESS[] = "https://lodrun.example/";
constexpr char WEB_PAGE_EXTENSION[] = ".htm";
// The caption text of control 1005: at most 98 characters are used.
constexpr int CLOSING_CAPTION_SIZE = 99;

}  // namespace

// The caption replaces the one InitPage set: the frame's in full-screen mode, else the main
// window's. A template without control 1005 leaves an empty caption.
BOOL InitClosingPage(HWND page) {
  char caption[CLOSING_CAPTION_SIZE];
  caption[0] = '\0';
  GetDlgItemTextA(page, ID_CLOSING_CAPTION, caption, CLOSING_CAPTION_SIZE);
  const bool fullScreen = (Archive.SetupFlags & SETUP_FLAG_FULL_SCREEN) != 0;
  SetWindowTextA(fullScreen ? FrameDialog : MainWindow, caption);
  return TRUE;
}

// The web button leaves the page open; every other command ends it with its own identifier
// (Cancel ends the wizard, anything else shows the page again).
INT_PTR HandleClosingCommand(HWND page, WPARAM wParam) {
  const int command = LOWORD(wParam);
  if (command == ID_WEB_BUTTON) {
    const char* own = AppEntryText(APP_ENTRY_URL);
    OpenDocument(own[0] != '\0' ? own : WEB_ADDRESS, WEB_PAGE_EXTENSION);
    return FALSE;
  }
  EndPageWith(command);
  return ConsumeCommand(page);
}
