// The uninstall program's state, shared by its parts: how it was started, what it removes,
// and how its run ended.
#pragma once

#include <cstdint>

#include "uninstall/removal_list.h"

// The exit codes of a run; a script tells the outcome by them.
enum UninstallExit : int {
  EXIT_DONE = 0,               // everything listed was removed
  EXIT_NOT_ALL_REMOVED = 1,    // something could not be removed, nor marked for a restart
  EXIT_NOTHING_REMOVED = 2,    // the data are missing or damaged
  EXIT_DECLINED = 3,           // the user answered No to the confirmation
  EXIT_DONE_AT_RESTART = 3010,  // the rest goes when Windows starts again (the system's
                                // ERROR_SUCCESS_REBOOT_REQUIRED)
};

extern bool SilentRemoval;     // /S: no window and no question
extern bool RemovingOriginal;  // /DEL: this is the temporary copy that removes the program
                               // named by SourcePath once that has ended
extern uint32_t OriginalProcessId;  // /P<id>: the process of the program being removed
extern RemovalList Removal;    // the uninstall data, read from the program's own file

// Parses /S, `/DEL <path>` (the path into SourcePath) and /P<id>; other switches are
// ignored.
void ParseUninstallCommandLine(const char* text);
