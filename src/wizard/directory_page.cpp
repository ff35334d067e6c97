// The directory page: InstallDir in an edit box, the space the files need and the space the
// drive has, the folder chooser, and on Next the directory made absolute, existing and
// checked by the disk check.
#include <windows.h>

#include <cstring>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/check_targets.h"
#include "engine/directories.h"
#include "engine/file_table.h"
#include "engine/space_requirement.h"
#include "wizard/directory_texts.h"
#include "wizard/folder_chooser.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_setup.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// Strings of the page's text list beyond the four of InitPage.
constexpr uint32_t DIRECTORY_CONTROL_TEXT = 2;  // strings 2 to 4 in controls 1001 to 1003
// The information page's text: when it is empty, that page is skipped backwards too.

// Message list strings of the page.
constexpr char HEADING_SEPARATOR[] = "\n\n";

constexpr uint32_t SPACE_TEXT_SIZE = 100;
constexpr uint64_t SPACE_UNIT = 32768;  // each file's size is counted in whole units of this
static_assert((SPACE_UNIT & (SPACE_UNIT - 1)) == 0, "a power of two: its low bits are cleared");

void ShowMegabytes(HWND page, int id, uint64_t kb) {
  char text[SPACE_TEXT_SIZE];
  FormatNumber(text, SPACE_TEXT_SIZE, PageText(DIRECTORY_TEXTS, DIRECTORY_MEGABYTES_FORMAT),
                  MegabytesFromKB(kb));
  SetDlgItemTextA(page, id, text);
}

// The space the files need, as the page tells it: every record's size (external ones too)
// raised to whole 32 KiB, whatever the drive. Summed in 64 bits, so that files past 4 GiB in
// all keep their meaning; the disk check reckons in the drive's clusters.
uint64_t SpaceNeededKB() {
  uint64_t needed = 0;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    needed += (uint64_t(walk.entry->size) + SPACE_UNIT - 1) & ~(SPACE_UNIT - 1);
  }
  return needed / KB;
}

// The free space follows the drive of InstallDir.
void ShowSpace(HWND page) {
  ShowMegabytes(page, ID_SPACE_NEEDED, SpaceNeededKB());
  const uint32_t freeKB = FreeSpaceKB(InstallDir);
  ShowMegabytes(page, ID_SPACE_FREE, freeKB == FREE_SPACE_UNKNOWN ? 0 : freeKB);
}

// The edit box's text into InstallDir, cut to the buffer.
void ReadDirectory(HWND page) {
  GetDlgItemTextA(page, ID_DIRECTORY_EDIT, InstallDir, PATH_BUFFER_SIZE);
}

void Browse(HWND page) {
  ReadDirectory(page);
  ChooseFolder(page, InstallDir);
  StripBackslash(InstallDir);
  // The box's change notification reads InstallDir back and refreshes the space.
  SetDlgItemTextA(page, ID_DIRECTORY_EDIT, InstallDir);
}

void ShowPageTexts(HWND page) {
  for (int i = 0; i < 3; ++i) {
    SetListText(page, ID_PAGE_TEXT_2 + i, DIRECTORY_TEXTS, DIRECTORY_CONTROL_TEXT + i);
  }
}

// The check's heading and its reason in one notice; nothing is shown without memory.
void ShowCheckFailure(uint32_t result) {
  char* notice = nullptr;
  if (!MemAllocZero(2 * MESSAGE_BUFFER_SIZE, &notice)) return;
  char* reason = notice + MESSAGE_BUFFER_SIZE;
  FormatMessageText(reason, result);
  AppendCutText(notice, MESSAGE_BUFFER_SIZE, PageText(MESSAGE_LIST, MESSAGE_CHECK_FAILED));
  AppendCutText(notice, MESSAGE_BUFFER_SIZE, HEADING_SEPARATOR);
  AppendCutText(notice, MESSAGE_BUFFER_SIZE, reason);
  ShowMessage(notice, NOTICE_STYLE);
  MemFree(notice);
}

bool RefuseDirectory() {
  ShowListMessage(MESSAGE_FOLDER_NOT_CREATED, NOTICE_STYLE);
  return false;
}

// InstallDir made absolute; one that is too long for its trailing backslash is refused.
bool MakeAbsolute(HWND page) {
  if (GetWindowTextLengthA(GetDlgItem(page, ID_DIRECTORY_EDIT)) > int(INSTALL_DIR_MAX_LENGTH)) {
    return false;
  }
  ReadDirectory(page);
  return MakeInstallDirAbsolute();
}

// The directory exists, or the user has it created; it is the current directory then.
bool MakeDirectoryExist() {
  if (SetCurrentDirectoryA(InstallDir)) return true;
  if (ShowListMessage(MESSAGE_CREATE_FOLDER, QUESTION_STYLE) != IDYES) {
    return false;
  }
  AppendBackslash(InstallDir);
  CreateDirectories(InstallDir);
  StripBackslash(InstallDir);
  return SetCurrentDirectoryA(InstallDir) || RefuseDirectory();
}

// The disk check, with the page's texts replaced while it runs; true to go on.
bool CheckDirectory(HWND page) {
  SetListText(page, ID_PAGE_TEXT_2, MESSAGE_LIST, MESSAGE_CHECKING_FOLDER);
  SetDlgItemTextA(page, ID_PAGE_TEXT_3, "");
  SetDlgItemTextA(page, ID_PAGE_TEXT_4, "");
  uint32_t result = CheckTargets();
  if (result == CHECK_NO_SPACE) {
    if (ShowListMessage(CHECK_NO_SPACE, QUESTION_STYLE) == IDYES) result = CHECK_OK;
  } else if (result != CHECK_OK) {
    ShowCheckFailure(result);
  }
  if (result == CHECK_OK) return true;
  ShowPageTexts(page);
  return false;
}

// Next: true when the frame may move on.
bool AcceptDirectory(HWND page) {
  if (!MakeAbsolute(page)) return RefuseDirectory();
  if (!MakeDirectoryExist()) return false;
  AppendBackslash(InstallDir);
  return CheckDirectory(page);
}

}  // namespace

BOOL InitDirectoryPage(HWND page) {
  HWND edit = GetDlgItem(page, ID_DIRECTORY_EDIT);
  SendMessageA(edit, EM_LIMITTEXT, INSTALL_DIR_MAX_LENGTH, 0);
  StripBackslash(InstallDir);
  SetWindowTextA(edit, InstallDir);
  AppendBackslash(InstallDir);
  SetListText(page, ID_SPACE_NEEDED_LABEL, DIRECTORY_TEXTS, DIRECTORY_SPACE_NEEDED_LABEL);
  SetListText(page, ID_SPACE_FREE_LABEL, DIRECTORY_TEXTS, DIRECTORY_SPACE_FREE_LABEL);
  ShowSpace(page);
  if ((Archive.SetupFlags & SETUP_FLAG_CHANGE_DIR) != 0) {
    SetFocus(edit);
    return FALSE;
  }
  SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  EnableWindow(GetDlgItem(page, ID_BROWSE), FALSE);
  return TRUE;
}

INT_PTR HandleDirectoryCommand(HWND page, WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id == ID_BROWSE) {
    Browse(page);
  } else if (Archive.startPage != START_PAGE_ALL) {
    // One page alone: Next and Back take the frame's defaults.
  } else if (id == ID_DIRECTORY_EDIT) {
    // Only a change of the text: the box also reports losing the focus to the questions
    // that Next asks, which must not turn the checked directory back into the raw text.
    if (HIWORD(wParam) != EN_CHANGE) return FALSE;
    ReadDirectory(page);
    ShowSpace(page);
  } else if (id == ID_BACK && PageText(INFORMATION_TEXTS, INFORMATION_TEXT)[0] == '\0') {
    GoToPage(WELCOME_PAGE);
    return ConsumeCommand(page);
  } else if (id == ID_NEXT && !AcceptDirectory(page)) {
    return ConsumeCommand(page);
  }
  return FALSE;  // the frame applies its defaults
}
