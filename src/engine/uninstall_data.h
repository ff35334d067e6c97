// The uninstall data: the blocks appended to the installed uninstall program that tell it
// which files, shortcuts and registry key to remove (layout in archive/archive_format.h).
// Every write goes through FileWrite and its result is not looked at: the installation has
// nothing left to do about a failed write at that point.
#pragma once

#include <cstdint>

#include "base/file_io.h"

// Writes text as a counted string (COUNTED_STRING_MAX characters at most).
void WriteCountedString(FileHandle file, const char* text);

// Writes the file record of the path in TargetPath (which is cut in the process) with
// flags: relative to InstallDir (which ends with a backslash) when the path lies under it,
// else absolute. ScratchPath holds the relative directory of a file below InstallDir.
void WriteFileRecord(FileHandle file, uint8_t flags);

// Appends UNINSTALL_FILES to the uninstall program, its closing BLOCK_END header replaced:
// every installed MODE_REMOVE record of the file table, and every desktop shortcut, in table
// order. Leaves InstallDir with a trailing backslash and the file at its end.
void WriteUninstallFiles(FileHandle file);

// Creates the group shortcut of every record that has one and, with a valid file, appends
// UNINSTALL_SHORTCUTS with those it recorded; no block when none was recorded.
void WriteGroupShortcuts(FileHandle file);

// Appends UNINSTALL_APP_KEY: the key path under HKEY_LOCAL_MACHINE.
void WriteAppKeyBlock(FileHandle file, const char* keyPath);

// Appends the closing BLOCK_END header.
void WriteUninstallEnd(FileHandle file);
