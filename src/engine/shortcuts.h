// Shortcuts: shell links in the Programs folder (the group shortcuts, which say where they
// were saved for the uninstall data) and on the desktop. OLE is initialised by the program
// for its whole run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/path_buffer.h"

// Wide characters of the link path given to IPersistFile::Save, terminator included.
constexpr uint32_t LINK_PATH_CHARS = 260;

// Saves a shell link at linkPath to target, with arguments when non-null and non-empty and
// the target's icon iconIndex when that is not 0; nothing else of the link is set. Returns
// the failure of creating the link object or of IPersistFile, else Save's result;
// E_INVALIDARG, before any object is made, when linkPath does not fit LINK_PATH_CHARS.
HRESULT CreateShortcut(const char* target, const char* linkPath, const char* arguments,
                       uint32_t iconIndex);

// A group shortcut that CreateGroupShortcut saved, as the uninstall data record it: the
// folder, without its trailing backslash, and the link's file name behind its terminator.
struct SavedShortcut {
  char folder[PATH_BUFFER_SIZE];
  const char* link;  // inside folder's bytes
};

// Creates the shortcut name + SHORTCUT_SUFFIX to target in the Programs folder, inside
// groupFolder (one or more levels, created when missing) unless it is empty. True when the
// link was saved, and then saved holds where (a link that could not be saved is not
// recorded, so that no file of its name that this setup did not write is removed later).
// Nothing is made when the folder cannot be entered or a path would outgrow its buffer.
// Leaves the current directory in the folder.
bool CreateGroupShortcut(const char* target, const char* groupFolder, const char* name,
                         const char* arguments, uint32_t iconIndex, SavedShortcut* saved);
