// The wizard's shared state: the frame dialog, the page shown in it, and the button flags
// of that page.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND FrameDialog;       // the outer dialog with the Back, Next and Cancel buttons
extern HWND CurrentPage;       // the page that the frame forwards its commands to
extern uint32_t PageButtonFlags;

// Frame buttons by their bit in the page flags, and their command identifiers.
constexpr uint32_t BUTTON_BACK = 1;
constexpr uint32_t BUTTON_NEXT = 2;
constexpr uint32_t BUTTON_CANCEL = 4;
constexpr uint32_t PAGE_CANCEL_NO_CONFIRM = 0x100;  // Cancel ends the page without a question

constexpr int ID_NEXT = IDOK;       // 1
constexpr int ID_CANCEL = IDCANCEL; // 2
constexpr int ID_BACK = 1007;
constexpr int ID_PAGE_AREA = 1006;  // hidden placeholder of the frame where pages go
