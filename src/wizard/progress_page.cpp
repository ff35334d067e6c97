// The progress page: it runs the installation in timer ticks of a few files each (one file
// per tick by default), so that the page's messages are handled between them, and lets the
// user cancel after a question.
#include "wizard/progress_page.h"

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/memory.h"
#include "base/path_buffer.h"
#include "engine/finish_installation.h"
#include "engine/install_file.h"
#include "engine/install_state.h"
#include "engine/open_data_area.h"
#include "wizard/disk_prompt.h"
#include "wizard/drawing.h"
#include "wizard/messages.h"
#include "wizard/page_runner.h"
#include "wizard/page_state.h"
#include "wizard/pages.h"
#include "wizard/shorten_path.h"
#include "wizard/wizard.h"

namespace {

constexpr uint32_t PERCENT_TEXT_SIZE = 8;  // "100%" and its terminator

UINT_PTR stepTimer = 0;

// With a gap of 0 the page posts itself this message for the next slice: a timer waits at
// least the system's shortest interval (10 ms, 55 ms on Windows 95) even when nothing else
// is waiting.
constexpr UINT NEXT_STEP_MESSAGE = WM_APP + 1;

// Message n of the message list, its "%s" filled with ErrorPath, in a box of style.
int AskInstallMessage(uint32_t n, uint32_t style) {
  char text[MESSAGE_BUFFER_SIZE];
  FormatMessageText(text, n);
  return ShowMessage(text, style);
}

// A single progress page has no finish page to tell a failed run: a box tells it.
void ReportFailureOfSinglePage() {
  if (Archive.startPage == START_PAGE_ALL || InstallError == INSTALL_OK) return;
  char text[MESSAGE_BUFFER_SIZE];
  FormatInstallError(text);
  ShowMessage(text, FAILURE_STYLE);
}

void EndInstallation() {
  FinishInstallation();
  ReportFailureOfSinglePage();
}

// The finish page follows a finished run.
void GoToFinishPage() { GoToPage(FINISH_PAGE); }

// The rest of the installation in one loop, when no timer can be had.
void InstallWithoutTimer() {
  while (InstallNextFile()) {
  }
  EndInstallation();
}

void StartTimer(HWND page, UINT delay) {
  stepTimer = SetTimer(page, INSTALL_TIMER_ID, delay, nullptr);
}

void StopTimer(HWND page) {
  if (stepTimer != 0) KillTimer(page, INSTALL_TIMER_ID);
  stepTimer = 0;
}

// The next slice after the pacing's gap. A gap of 0 follows at once unless input or painting
// waits, which the shortest timer lets through first (posted messages come before them).
void ScheduleNextStep(HWND page) {
  const uint32_t gap = PacingGapMs(Archive.installPacing);
  if (gap == 0 && HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) == 0 &&
      PostMessageA(page, NEXT_STEP_MESSAGE, 0, 0)) {
    return;
  }
  StartTimer(page, gap);
  if (stepTimer == 0) InstallWithoutTimer();
}

// Files until the tick's slice is used up (one file per tick with a slice of 0, as without
// the pacing block), then the gap; the timer is stopped meanwhile, so that no tick piles up.
// While the cancel question is open no file is installed: the timer looks again after the
// gap (a posted step taken by the question's box would otherwise be the last).
void InstallStep(HWND page) {
  if (!Archive.DataAreaOpen) return;
  if (CancelPending) {
    if (stepTimer == 0) StartTimer(page, PacingGapMs(Archive.installPacing));
    return;
  }
  StopTimer(page);
  const DWORD start = GetTickCount();
  bool more;
  do {
    more = InstallNextFile();
  } while (more && !CancelPending && GetTickCount() - start < PacingSliceMs(Archive.installPacing));
  if (more) {
    ScheduleNextStep(page);
    return;
  }
  EndInstallation();
}

void PaintProgressPage(HWND page) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(page, &paint);
  DrawProgressBar(page, dc);
  EndPaint(page, &paint);
}

// The blocks of the bar inside its W x H border, in brush: block 0 always, each next one
// while it ends inside the border and inside the share of the width that percent stands for.
void DrawBlocks(HDC dc, int width, int height, HBRUSH brush) {
  const int block = height / 2;
  const int step = block + 2;
  const int filled = int(uint32_t(width) * ProgressPercent / 100);
  for (int k = 0;; ++k) {
    RECT rect = {1 + k * step, 2, 1 + k * step + block, height - 2};
    FillRect(dc, &rect, brush);
    const int nextRight = 1 + (k + 1) * step + block;
    if (nextRight >= width || nextRight >= filled) break;
  }
}

}  // namespace

void SetProgress(uint32_t percent) {
  if (percent > 100) percent = 100;
  // The blocks and the percentage follow the percent alone: the same one draws nothing new.
  if (percent == ProgressPercent) return;
  ProgressPercent = percent;
  if (ProgressPage != nullptr) DrawProgressBar(ProgressPage, nullptr);
}

void ShowCurrentFile(const char* path) {
  if (ProgressPage == nullptr) return;
  char shown[PATH_BUFFER_SIZE];
  CopyPath(shown, path);
  ShortenPath(shown, CURRENT_FILE_CHARS);
  SetDlgItemTextA(ProgressPage, ID_CURRENT_FILE, shown);
}

void DrawProgressBar(HWND page, HDC dc) {
  HDC own = dc == nullptr ? GetDC(page) : nullptr;
  HDC target = dc != nullptr ? dc : own;
  if (target == nullptr) return;
  char percent[PERCENT_TEXT_SIZE];
  wsprintfA(percent, "%d%%", int(ProgressPercent));
  SetDlgItemTextA(page, ID_PROGRESS_PERCENT, percent);
  RECT bar;
  if (ControlRectInDialog(page, ID_PROGRESS_BAR, &bar)) {
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = memory != nullptr ? CreateCompatibleBitmap(target, width, height) : nullptr;
    if (bitmap != nullptr) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      FillSolidRect(memory, 0, 0, width, height, GetSysColor(COLOR_BTNFACE));
      // The sunken border: the shadow's row and column at the top left, then the
      // highlight's at the bottom right, which own the two corners they share.
      for (int side = 0; side < 2; ++side) {
        const COLORREF edge = GetSysColor(side == 0 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        FillSolidRect(memory, 0, side * (height - 1), width, 1, edge);
        FillSolidRect(memory, side * (width - 1), 0, 1, height, edge);
      }
      HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
      if (brush != nullptr) {
        DrawBlocks(memory, width, height, brush);
        BitBlt(target, bar.left, bar.top, width, height, memory, 0, 0, SRCCOPY);
        DeleteObject(brush);
      }
      SelectObject(memory, previous);
      DeleteObject(bitmap);
    }
    if (memory != nullptr) DeleteDC(memory);
  }
  if (own != nullptr) ReleaseDC(page, own);
}

// After InitPage, which draws nothing of the page's own: the bar is drawn from the page and its
// percent only once they are set here.
BOOL InitProgressPage(HWND page) {
  ProgressPage = page;
  ProgressPercent = 0;
  SetButtonText(BUTTON_CANCEL, BUTTON_TEXT_STOP);
  Display = {ShowCurrentFile, SetProgress, AskInstallMessage, GoToFinishPage};
  // Without the data area the page waits for Cancel (InstallError says why).
  if (!OpenDataArea(AskForNextDisk)) {
    ReportFailureOfSinglePage();
    return TRUE;
  }
  CancelPending = false;
  // The first tick comes once the page has painted: a timer's message comes after painting.
  const uint32_t slice = PacingSliceMs(Archive.installPacing);
  StartTimer(page, slice == 0 ? FIRST_STEP_DELAY_MS : PacingGapMs(Archive.installPacing));
  if (stepTimer == 0) InstallWithoutTimer();
  return TRUE;
}

// Cancel stops the installation after a question; what is installed so far stays, and no
// uninstall data or group shortcuts are written. A single page leaves Cancel to the frame.
INT_PTR HandleProgressCommand(HWND page, WPARAM wParam) {
  if (LOWORD(wParam) != ID_CANCEL || Archive.startPage != START_PAGE_ALL) return FALSE;
  CancelPending = true;
  if (!ConfirmStop(MESSAGE_STOP_INSTALLATION)) CancelPending = false;
  return ConsumeCommand(page);
}

BOOL HandleProgressMessage(HWND page, UINT message) {
  switch (message) {
    case WM_TIMER:
    case NEXT_STEP_MESSAGE:
      InstallStep(page);
      return TRUE;
    case WM_PAINT:
      PaintProgressPage(page);
      return TRUE;
    case WM_DESTROY:
      StopTimer(page);
      ProgressPage = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
