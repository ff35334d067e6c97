// The folder chooser.
#include "wizard/folder_chooser.h"

#include <commdlg.h>

#include "archive/page_texts.h"
#include "archive/templates.h"
#include "base/memory.h"
#include "base/path_buffer.h"
#include "resources/dialog_ids.h"
#include "wizard/page_setup.h"

namespace {

// Message list strings of the chooser, and the button texts of its OK and Cancel.

// Without the Explorer style the dialog is made from our template and calls our hook.
constexpr DWORD CHOOSER_FLAGS = OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;

// The filter: one pair of description and pattern, then the empty pair.
constexpr char ALL_FILES_FILTER[] = "*.*\0*.*\0";

// The dialog's blocks in one allocation: the folder shown and chosen, the file name that
// the dialog wants (it stays empty) and the dialog's structure.
struct ChooserBlocks {
  char folder[PATH_BUFFER_SIZE];
  char fileName[PATH_BUFFER_SIZE];
  OPENFILENAMEA dialog;
};

ChooserBlocks* Blocks = nullptr;  // while the chooser is open
bool HookInitialised = false;     // the selection message counts only after WM_INITDIALOG
UINT SelectionChangedMessage = 0;  // "commdlg_LBSelChangedNotify", registered on first use

// The common dialog has made the folder opened in its list the current directory.
void ShowCurrentFolder(HWND dialog) {
  char* filePart = nullptr;
  const DWORD length = GetFullPathNameA(".", PATH_BUFFER_SIZE, Blocks->folder, &filePart);
  if (length == 0 || length >= PATH_BUFFER_SIZE) return;
  OemToCharA(Blocks->folder, Blocks->folder);
  SetDlgItemTextA(dialog, ID_CHOOSER_FOLDER, Blocks->folder);
}

// A coordinate that centres size in the area from start over extent; never negative.
int Centred(int start, int extent, int size) {
  const int position = start + (extent - size) / 2;
  return position < 0 ? 0 : position;
}

void CentreChooser(HWND dialog) {
  RECT own;
  if (!GetWindowRect(dialog, &own)) return;
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND parent = GetParent(dialog);
  if (parent != nullptr) GetWindowRect(parent, &area);
  const int x = Centred(area.left, area.right - area.left, own.right - own.left);
  const int y = Centred(area.top, area.bottom - area.top, own.bottom - own.top);
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitChooser(HWND dialog) {
  ApplyDialogFont(dialog);
  SetDlgItemTextA(dialog, ID_CHOOSER_FOLDER, Blocks->folder);
  HookInitialised = true;
  SetWindowTextA(dialog, PageText(MESSAGE_LIST, MESSAGE_CHOOSER_CAPTION));
  SetListText(dialog, ID_CHOOSER_FOLDER_LABEL, MESSAGE_LIST, MESSAGE_CHOOSER_FOLDER_LABEL);
  SetListText(dialog, ID_CHOOSER_DRIVE_LABEL, MESSAGE_LIST, MESSAGE_CHOOSER_DRIVE_LABEL);
  SetListText(dialog, ID_CHOOSER_OK, BUTTON_TEXTS, BUTTON_TEXT_CHOOSER_OK);
  SetListText(dialog, ID_CHOOSER_CANCEL, BUTTON_TEXTS, BUTTON_TEXT_STOP);
  CentreChooser(dialog);
}

// OK takes the folder in our edit box; the dialog's own OK handling runs as well, and an
// empty box does not end the dialog.
void AcceptFolder(HWND dialog) {
  GetDlgItemTextA(dialog, ID_CHOOSER_FOLDER, Blocks->folder, PATH_BUFFER_SIZE);
  if (Blocks->folder[0] != '\0') PostMessageA(dialog, WM_COMMAND, IDABORT, 1);
}

}  // namespace

void ChooseFolder(HWND owner, char* path) {
  if (SelectionChangedMessage == 0) {
    SelectionChangedMessage = RegisterWindowMessageA(LBSELCHSTRINGA);
  }
  if (!MemAllocZero(sizeof(ChooserBlocks), &Blocks)) return;
  // The dialog wants the locked copy itself: a movable handle in its place hangs it.
  void* chooserTemplate = GetTemplateCopy(TEMPLATE_FOLDER_CHOOSER);
  if (chooserTemplate != nullptr) {
    CopyPath(Blocks->folder, path);
    OPENFILENAMEA& dialog = Blocks->dialog;
    // The size that every system since Windows 95 accepts (76 bytes in a 32-bit program).
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = static_cast<HINSTANCE>(chooserTemplate);
    dialog.lpstrFilter = ALL_FILES_FILTER;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = Blocks->fileName;
    dialog.nMaxFile = PATH_BUFFER_SIZE;
    dialog.lpstrInitialDir = Blocks->folder;
    dialog.Flags = CHOOSER_FLAGS;
    dialog.lpfnHook = FolderChooserHook;
    HookInitialised = false;
    if (GetSaveFileNameA(&dialog)) CopyPath(path, Blocks->folder);
    FreeTemplateCopy(chooserTemplate);
  }
  MemFree(Blocks);
}

UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == SelectionChangedMessage && HookInitialised) {
    ShowCurrentFolder(dialog);
    return 0;
  }
  switch (message) {
    case WM_INITDIALOG:
      InitChooser(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_CHOOSER_OK) AcceptFolder(dialog);
      return 0;
    default:
      return 0;
  }
}
