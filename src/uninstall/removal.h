// Removing what the setups recorded, in the reverse order of their installation: the
// program-group shortcuts, then each file (a shared file only when no program counts it any
// more, a COM server unregistered first, a font taken from the font table first), the
// emptied folders, and last the Uninstall keys.
#pragma once

#include <cstdint>

#include "uninstall/removal_list.h"

// Bytes of each list of paths that the result names.
constexpr uint32_t REPORT_SIZE = 1024;

// What a run could not finish, for the result message.
struct RemovalReport {
  char atRestart[REPORT_SIZE] = "";    // marked for deletion at the next start (in use)
  char notRemoved[REPORT_SIZE] = "";   // neither removed nor marked
  uint32_t atRestartCount = 0;
  uint32_t notRemovedCount = 0;
};

// Asked when a shared file's count reached 0: true to delete the file.
using SharedFileQuestion = bool (*)(const char* path);

// Whether the list holds only what a setup writes: fonts in the Fonts folder, group
// shortcuts in the Programs folder or below it, and Uninstall keys that are not there or
// start the program at ownPath. Data that claim more are refused whole.
bool IsWhatASetupWrites(const RemovalList& list, const char* ownPath);

// Whether every path of the list can be made under installDir (which ends with a
// backslash): a list that names a path too long for the program's buffers is refused whole.
bool AllPathsFit(const RemovalList& list, const char* installDir);

// Removes everything of list; installDir (ending with a backslash) is the directory of the
// relative records. The installation directory itself stays: it holds this program.
void RemoveEverything(const RemovalList& list, const char* installDir, SharedFileQuestion ask,
                      RemovalReport* report);

// Deletes the file at path, clearing its read-only attribute first. When the file is in use
// it is marked for deletion at the next start. Adds the path to report unless the file is
// gone (or was never there).
void RemoveFileAt(const char* path, RemovalReport* report);
