// Shortcuts: shell links in the Programs folder (the group shortcuts, recorded for the
// uninstall program) and on the desktop. OLE is initialised by the program for its whole run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/file_io.h"
#include "system/shell_folders.h"  // SHORTCUT_SUFFIX, ShellFolderPath

// Wide characters of the link path given to IPersistFile::Save, terminator included.
constexpr uint32_t LINK_PATH_CHARS = 260;

// Saves a shell link at linkPath to target, with arguments when non-null and non-empty and
// the target's icon iconIndex when that is not 0; nothing else of the link is set. Returns
// the failure of creating the link object or of IPersistFile, else Save's result;
// E_INVALIDARG, before any object is made, when linkPath does not fit LINK_PATH_CHARS.
HRESULT CreateShortcut(const char* target, const char* linkPath, const char* arguments,
                       uint32_t iconIndex);

// Creates the shortcut name + ".lnk" to target in the Programs folder, inside groupFolder
// (one or more levels, created when missing) unless it is empty. With a valid uninstallFile
// it appends the folder (without trailing backslash) and the link's file name as two counted
// strings when the link was saved (a link that could not be saved is not recorded, so that
// no file of its name that this setup did not write is removed later). Nothing is made or
// written when the folder cannot be entered or a path would outgrow its buffer. Leaves the
// current directory in the folder.
void CreateGroupShortcut(const char* target, const char* groupFolder, const char* name,
                         const char* arguments, uint32_t iconIndex, FileHandle uninstallFile);
