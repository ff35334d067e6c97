// Session state: what the program's entry reads from the command line and the screen. The
// path buffers are in base/session_paths.h, the page loop's state in wizard/page_state.h,
// the after-wizard entries in engine/install_state.h.
#pragma once

extern bool DeleteSelfFlag;  // set by /DEL: mark the program's own file for deletion
extern int ScreenWidth;
extern int ScreenHeight;
