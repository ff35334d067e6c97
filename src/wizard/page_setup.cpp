// The common behaviour of pages.
#include "wizard/page_setup.h"

#include <cstring>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "wizard/drawing.h"
#include "wizard/page_state.h"
#include "base/text_format.h"
#include "wizard/wizard.h"

namespace {

static_assert(ID_PAGE_TEXT_4 - ID_PAGE_TEXT_1 + 1 == CONTROL_TEXTS, "one control per text");

// The frame's buttons by their flag, with the button-text string of their standard label.
struct FrameButton {
  uint32_t flag;
  int id;
  uint32_t standardText;
};
constexpr FrameButton FRAME_BUTTONS[] = {
    {BUTTON_BACK, ID_BACK, 0},
    {BUTTON_NEXT, ID_NEXT, 1},
    {BUTTON_CANCEL, ID_CANCEL, 2},
};

constexpr LONG NORMAL_WEIGHT = FW_NORMAL;

void PlacePage(HWND page) {
  RECT area;
  if (!ControlRectInDialog(FrameDialog, ID_PAGE_AREA, &area)) return;
  SetWindowPos(page, nullptr, area.left, area.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetCaptions() {
  const char* pageTitle = PageText(uint32_t(PageIndex), PAGE_TITLE);
  const char* setupTitle = PageText(MESSAGE_LIST, TITLE_MESSAGE);
  SetWindowTextA(MainWindow, setupTitle);
  if (pageTitle[0] == '\0') return;  // the frame keeps the previous page's title
  if ((Archive.SetupFlags & SETUP_FLAG_FULL_SCREEN) != 0) {
    SetWindowTextA(FrameDialog, pageTitle);
    return;
  }
  char* caption = nullptr;
  if (!MemAllocZero(CAPTION_BUFFER_SIZE, &caption)) return;
  AppendCutText(caption, CAPTION_BUFFER_SIZE, setupTitle);
  AppendCutText(caption, CAPTION_BUFFER_SIZE, CAPTION_SEPARATOR);
  AppendCutText(caption, CAPTION_BUFFER_SIZE, pageTitle);
  SetWindowTextA(MainWindow, caption);
  MemFree(caption);
}

}  // namespace

void InitPage(HWND page, uint32_t flags) {
  CurrentPage = page;
  ApplyDialogFont(page);
  PlacePage(page);
  SetCaptions();
  for (uint32_t i = 0; i < CONTROL_TEXTS; ++i) {
    SetListText(page, ID_PAGE_TEXT_1 + int(i), uint32_t(PageIndex), FIRST_CONTROL_TEXT + i);
  }
  for (const FrameButton& button : FRAME_BUTTONS) SetButtonText(button.flag, button.standardText);
  if (Archive.startPage != START_PAGE_ALL) flags |= PAGE_CANCEL_NO_CONFIRM;
  SetPageButtons(flags);
}

BOOL FocusOnNext(HWND) {
  SetFocus(GetDlgItem(FrameDialog, ID_NEXT));
  return FALSE;
}

void SetListText(HWND dialog, int id, uint32_t list, uint32_t n) {
  SetDlgItemTextA(dialog, id, PageText(list, n));
}

void SetPageButtons(uint32_t flags) {
  PageButtonFlags = flags;
  for (const FrameButton& button : FRAME_BUTTONS) {
    HWND control = GetDlgItem(FrameDialog, button.id);
    if (control != nullptr) EnableWindow(control, (flags & button.flag) != 0);
  }
}

void SetButtonText(uint32_t button, uint32_t n) {
  for (const FrameButton& frameButton : FRAME_BUTTONS) {
    if (frameButton.flag == button) {
      SetListText(FrameDialog, frameButton.id, BUTTON_TEXTS, n);
      return;
    }
  }
}

void ApplyDialogFont(HWND window) {
  if (DialogFont == nullptr) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description;
    if (font != nullptr && GetObjectA(font, sizeof description, &description) != 0) {
      description.lfWeight = NORMAL_WEIGHT;
      DialogFont = CreateFontIndirectA(&description);
    }
  }
  if (DialogFont == nullptr) return;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont), FALSE);
  }
}

INT_PTR HandleDialogColors(HWND, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(DialogBrush);
    default:
      return 0;
  }
}

void DeleteDialogFont() {
  if (DialogFont != nullptr) DeleteObject(DialogFont);
  DialogFont = nullptr;
}
