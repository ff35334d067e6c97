// The confirmation page: where the installation goes, Next relabelled to start it, and the
// question before read-only files that the disk check found are replaced.
#include <windows.h>

#include "archive/page_texts.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/install_state.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// Control 1001 names InstallDir without its final backslash (a drive root keeps it);
// InstallDir itself keeps its backslash. Without memory the control keeps the format as
// InitPage put it.
void ShowInstallDir(HWND page) {
  char* text = nullptr;
  if (!MemAllocZero(MESSAGE_BUFFER_SIZE, &text)) return;
  StripBackslash(InstallDir);
  FormatWithText(text, PageText(CONFIRMATION_TEXTS, CONFIRMATION_FOLDER_FORMAT), InstallDir);
  AppendBackslash(InstallDir);
  SetDlgItemTextA(page, ID_PAGE_TEXT_2, text);
  MemFree(text);
}

}  // namespace

BOOL InitConfirmationPage(HWND page) {
  ShowInstallDir(page);
  SetButtonText(BUTTON_NEXT, BUTTON_TEXT_INSTALL);
  return FocusOnNext(page);
}

// Next asks first when read-only files are to be replaced; No keeps the page.
INT_PTR HandleConfirmationCommand(HWND page, WPARAM wParam) {
  if (LOWORD(wParam) != ID_NEXT || !ProtectedFilesFound) return FALSE;
  if (ShowListMessage(MESSAGE_REPLACE_READ_ONLY, QUESTION_STYLE) != IDNO) {
    return FALSE;
  }
  return ConsumeCommand(page);
}
