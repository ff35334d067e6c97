// The uninstall data: the blocks appended to the installed uninstall program that tell it
// which files, shortcuts and registry key to remove (layout in archive/archive_format.h).
// Every write goes through FileWrite; the first that fails is kept (UninstallDataWritten),
// so that an application whose data are not whole is never registered for removal.
#pragma once

#include <cstdint>

#include "base/file_io.h"

// The indexes of the file records of this run whose files it created, for UNINSTALL_CREATED;
// indexes holds room for one per record of the file table (or is null: none is noted).
struct CreatedRecords {
  uint32_t* indexes = nullptr;
  uint32_t count = 0;
};

// Writes text as a counted string (COUNTED_STRING_MAX characters at most).
void WriteCountedString(FileHandle file, const char* text);

// Writes the file record of the path in TargetPath (which is cut in the process) with
// flags: relative to InstallDir (which ends with a backslash) when the path lies under it,
// else absolute; doubled backslashes and "." parts are dropped first. ScratchPath holds the
// relative directory of a file below InstallDir. False, writing nothing, when the record
// would not be one the uninstall program reads (names.h).
bool WriteFileRecord(FileHandle file, uint8_t flags);

// Appends UNINSTALL_FILES to the uninstall program, its closing BLOCK_END header replaced:
// every installed MODE_REMOVE record of the file table (a font only when this run created
// it), and every desktop shortcut that the run saved, in table order; notes the created
// files' records in created. Leaves InstallDir with a trailing backslash and the file at
// its end. Starts the data's write check over.
void WriteUninstallFiles(FileHandle file, CreatedRecords* created);

// Creates the group shortcut of every record that has one and, with a valid file, appends
// UNINSTALL_SHORTCUTS with those it recorded; no block when none was recorded.
void WriteGroupShortcuts(FileHandle file);

// Appends UNINSTALL_APP_KEY: the key path under HKEY_LOCAL_MACHINE.
void WriteAppKeyBlock(FileHandle file, const char* keyPath);

// Appends UNINSTALL_CREATED with the created records; nothing when there are none.
void WriteCreatedBlock(FileHandle file, const CreatedRecords& created);

// Appends UNINSTALL_COUNTS: the path of every file whose count the run raised and that no
// file record lists as shared; nothing when there is none.
void WriteCountsBlock(FileHandle file);

// Appends the closing BLOCK_END header.
void WriteUninstallEnd(FileHandle file);

// True when every write and move since WriteUninstallFiles succeeded; else the system's
// reason of the first that failed goes into systemError.
bool UninstallDataWritten(uint32_t* systemError);
