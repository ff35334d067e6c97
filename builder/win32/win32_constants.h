// The Win32 window, dialog and control styles that the builder's templates use, with the
// values of the Windows headers. The builder is native and cannot include <windows.h>; a
// file that does include it uses its macros instead, so the two never meet.
#pragma once

#ifdef WS_CHILD
#error "builder/win32_constants.h repeats what <windows.h> defines: include one or the other"
#endif

#include <cstdint>

// Window styles.
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;  // title bar and border
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_GROUP = 0x00020000;
constexpr uint32_t WS_TABSTOP = 0x00010000;
static_assert((WS_CAPTION & WS_BORDER) == WS_BORDER, "a caption includes the border");

// Dialog styles.
constexpr uint32_t DS_MODALFRAME = 0x0080;
constexpr uint32_t DS_SETFONT = 0x0040;  // point size and face name follow the title
constexpr uint32_t DS_CONTROL = 0x0400;  // a child dialog that tabs like a control

// Static controls: the low bits are a type, not flags.
constexpr uint32_t SS_LEFT = 0x0000;
constexpr uint32_t SS_CENTER = 0x0001;
constexpr uint32_t SS_RIGHT = 0x0002;
constexpr uint32_t SS_ICON = 0x0003;  // the title is the icon's resource ordinal
constexpr uint32_t SS_NOPREFIX = 0x0080;  // '&' is shown, not taken as a mnemonic

// Edit controls.
constexpr uint32_t ES_MULTILINE = 0x0004;
constexpr uint32_t ES_AUTOVSCROLL = 0x0040;
constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr uint32_t ES_READONLY = 0x0800;

// Buttons: the low bits are a type, not flags.
constexpr uint32_t BS_PUSHBUTTON = 0x0000;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr uint32_t BS_CHECKBOX = 0x0002;
constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr uint32_t BS_GROUPBOX = 0x0007;

// List boxes.
constexpr uint32_t LBS_NOTIFY = 0x0001;
constexpr uint32_t LBS_SORT = 0x0002;
constexpr uint32_t LBS_OWNERDRAWFIXED = 0x0010;
constexpr uint32_t LBS_HASSTRINGS = 0x0040;
constexpr uint32_t LBS_DISABLENOSCROLL = 0x1000;

// Combo boxes: the low bits are a type, not flags.
constexpr uint32_t CBS_DROPDOWNLIST = 0x0003;
constexpr uint32_t CBS_OWNERDRAWFIXED = 0x0010;
constexpr uint32_t CBS_HASSTRINGS = 0x0200;
