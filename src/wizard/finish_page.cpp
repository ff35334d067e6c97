// The finish page: the installation's outcome. After success it offers to open the
// installed document and to start the installed program after the wizard; after a failure
// it names the reason and cancels everything planned for after the wizard.
#include <windows.h>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/open_at_end.h"
#include "wizard/drawing.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_setup.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// The failure text in the first half, the message that goes into it in the second.
constexpr uint32_t FAILURE_BUFFER_SIZE = 2 * MESSAGE_BUFFER_SIZE;

// A run that left a file where it was could still have stored no error; and a run that
// never ran (its page could not be shown) installed nothing: neither is told as done.
void NoteFileNotPlaced() {
  if (InstallError != INSTALL_OK) return;
  if (!InstallRunFinished && Archive.startPage == START_PAGE_ALL) {
    SetInstallError(INSTALL_ERROR_OPEN, SourcePath, 0);
    return;
  }
  for (EntryWalk walk; walk.More(); walk.Next()) {
    if (walk.entry->status == STATUS_NOT_PLACED) {
      InstallError = INSTALL_ERROR_NOT_PLACED;
      return;
    }
  }
}

// The failure text takes the room of the three texts; nothing runs after the wizard.
void ShowFailure(HWND page) {
  ShowWindow(GetDlgItem(page, ID_PAGE_TEXT_2), SW_HIDE);
  ShowWindow(GetDlgItem(page, ID_PAGE_TEXT_3), SW_HIDE);
  RECT text;
  RECT last;
  if (ControlRectInDialog(page, ID_PAGE_TEXT_1, &text) &&
      ControlRectInDialog(page, ID_PAGE_TEXT_3, &last)) {
    SetWindowPos(GetDlgItem(page, ID_PAGE_TEXT_1), nullptr, 0, 0, text.right - text.left,
                 last.bottom - text.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  char* failure = nullptr;
  if (MemAllocZero(FAILURE_BUFFER_SIZE, &failure)) {
    char* reason = failure + MESSAGE_BUFFER_SIZE;
    FormatInstallError(reason);
    FormatWithText(failure, PageText(FINISH_TEXTS, FINISH_FAILURE_FORMAT), reason);  // the first half
    SetDlgItemTextA(page, ID_PAGE_TEXT_1, failure);
    MemFree(failure);
  }
  ClearAfterWizardActions();
}

// A single page shows its offers whenever they have labels, for the setup's author to see.
bool Offered(const FileEntry* entry) {
  return entry != nullptr || Archive.startPage != START_PAGE_ALL;
}

// The open button, or the document opened at once when the button has no label; the
// check box, which takes the button's place and text when neither is used.
void ShowSuccess(HWND page) {
  bool buttonShown = false;
  if (Offered(OpenAtEndEntry)) {
    const char* label = PageText(FINISH_TEXTS, FINISH_OPEN_LABEL);
    if (label[0] == '\0') {
      OpenAtEnd();
    } else {
      SetDlgItemTextA(page, ID_OPEN_DOCUMENT, label);
      ShowWindow(GetDlgItem(page, ID_OPEN_DOCUMENT), SW_SHOW);
      buttonShown = true;
    }
  }
  const char* runLabel = PageText(FINISH_TEXTS, FINISH_RUN_LABEL);
  if (!Offered(RunAtEndEntry) || runLabel[0] == '\0') return;
  HWND check = GetDlgItem(page, ID_RUN_AT_END);
  SetWindowTextA(check, runLabel);
  ShowWindow(check, SW_SHOW);
  RECT button;
  RECT box;
  if (buttonShown || PageText(FINISH_TEXTS, FINISH_DOCUMENT_NOTE)[0] != '\0' ||
      !ControlRectInDialog(page, ID_OPEN_DOCUMENT, &button) ||
      !ControlRectInDialog(page, ID_RUN_AT_END, &box)) {
    return;
  }
  SetWindowPos(check, nullptr, box.left, button.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetListText(page, ID_PAGE_TEXT_2, FINISH_TEXTS, FINISH_RUN_NOTE);
  SetDlgItemTextA(page, ID_PAGE_TEXT_3, "");
}

}  // namespace

BOOL InitFinishPage(HWND page) {
  ShowWindow(GetDlgItem(page, ID_OPEN_DOCUMENT), SW_HIDE);
  CheckDlgButton(page, ID_RUN_AT_END, RunAtEndChecked ? BST_CHECKED : BST_UNCHECKED);
  ShowWindow(GetDlgItem(page, ID_RUN_AT_END), SW_HIDE);
  NoteFileNotPlaced();
  if (InstallError != INSTALL_OK) {
    ShowFailure(page);
  } else {
    ShowSuccess(page);
  }
  return FocusOnNext(page);
}

// Next and Cancel end the wizard through its cancel path, which shows the closing page.
INT_PTR HandleFinishCommand(HWND page, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case ID_NEXT:
    case ID_CANCEL: EndPage(BUTTON_CANCEL); break;
    case ID_BACK: GoToPage(DIRECTORY_PAGE); break;  // only a Back of the page's own template
    case ID_OPEN_DOCUMENT: OpenAtEnd(); break;
    case ID_RUN_AT_END:
      RunAtEndChecked = IsDlgButtonChecked(page, ID_RUN_AT_END) == BST_CHECKED;
      break;
    default: return FALSE;
  }
  return ConsumeCommand(page);
}
