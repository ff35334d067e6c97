// The definitions of the wizard's shared state.
#include "wizard/wizard.h"

HWND FrameDialog = nullptr;
HWND CurrentPage = nullptr;
uint32_t PageButtonFlags = 0;
