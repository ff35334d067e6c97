// The wizard's shared state: the windows it lives in, the page shown in the frame, and the
// button flags of that page. The session creates the main window and the frame; everything
// the wizard shows is a child of them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "resources/dialog_ids.h"

extern HINSTANCE ProgramInstance;
extern HWND MainWindow;        // the parent of the whole wizard
extern HWND FrameDialog;       // the outer dialog with the Back, Next and Cancel buttons
extern HWND CurrentPage;       // the page that the frame forwards its commands to
extern uint32_t PageButtonFlags;
extern HBRUSH DialogBrush;     // button-face background of every wizard dialog
extern HFONT DialogFont;       // the frame's font at normal weight, for every child; or null
// The progress page while it shows, the progress it shows (0 to 100), and whether its cancel
// question is open (no file is installed meanwhile).
extern HWND ProgressPage;
extern uint32_t ProgressPercent;
extern bool CancelPending;
// The screen's centre, recorded when the main window is made; the frame is placed around it.
extern int ScreenCentreX;
extern int ScreenCentreY;

// Frame buttons by their bit in the page flags.
constexpr uint32_t BUTTON_BACK = 1;
constexpr uint32_t BUTTON_NEXT = 2;
constexpr uint32_t BUTTON_CANCEL = 4;
constexpr uint32_t PAGE_CANCEL_NO_CONFIRM = 0x100;  // Cancel ends the page without a question

static_assert(ID_NEXT == IDOK && ID_CANCEL == IDCANCEL, "the frame's buttons are the dialog's own");
