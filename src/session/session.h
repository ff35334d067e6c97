// Session state: what the program's entry reads from the command line and the screen. The
// path buffers are in base/session_paths.h, the page loop's state in wizard/page_state.h,
// the after-wizard entries in engine/install_state.h.
#pragma once

extern bool DeleteSelfFlag;  // set by /DEL: mark the program's own file for deletion
extern bool QuietInstall;    // set by /Q: install without the wizard and without questions
// The text behind /D= (the rest of the command line), or null without the switch.
extern const char* InstallDirSwitch;
extern int ScreenWidth;
extern int ScreenHeight;
