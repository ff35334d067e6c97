// The definitions of the wizard's shared state.
#include "wizard/wizard.h"

HINSTANCE ProgramInstance = nullptr;
HWND MainWindow = nullptr;
HWND FrameDialog = nullptr;
HWND CurrentPage = nullptr;
uint32_t PageButtonFlags = 0;
HBRUSH DialogBrush = nullptr;
HFONT DialogFont = nullptr;
HWND ProgressPage = nullptr;
uint32_t ProgressPercent = 0;
bool CancelPending = false;
int ScreenCentreX = 0;
int ScreenCentreY = 0;
