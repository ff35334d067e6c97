// The uninstall data: the blocks appended to the installed uninstall program that tell it
// which files, shortcuts and registry key to remove (layout in archive/archive_format.h).
// Every write goes through FileWrite; the first that fails is kept in the writer, so that
// an application whose data are not whole is never registered for removal.
#pragma once

#include <cstdint>

#include "base/file_io.h"

// The indexes of the file records of this run whose files it created, for UNINSTALL_CREATED;
// indexes holds room for one per record of the file table (or is null: none is noted).
struct CreatedRecords {
  uint32_t* indexes = nullptr;
  uint32_t count = 0;
};

// The uninstall data being written into the opened uninstall program, handed to every
// writer below: made fresh for each run's data.
struct UninstallWriter {
  FileHandle file = INVALID_FILE;
  // File records below InstallDir are written relative to it only where the uninstall
  // program lies directly in InstallDir (it reads them from its own folder); set by
  // WriteUninstallFiles.
  bool relativeToInstallDir = true;
  // A write or a move failed: the data are not whole. systemError is the system's reason
  // for the first that failed.
  bool failed = false;
  uint32_t systemError = 0;
};

// Writes text as a counted string (COUNTED_STRING_MAX characters at most).
void WriteCountedString(UninstallWriter* writer, const char* text);

// Writes the file record of path (a PATH_BUFFER_SIZE buffer, which is cut in the process)
// with flags: relative to InstallDir (which ends with a backslash) when the writer allows
// it and the path lies under it, else absolute; doubled backslashes and "." parts are
// dropped first; the directory of a relative record is put together in ScratchPath. False,
// writing nothing, when the uninstall program would not take the record
// (UninstallTakesFileRecord).
bool WriteUninstallFileRecord(UninstallWriter* writer, char* path, uint8_t flags);

// Appends UNINSTALL_FILES to the uninstall program, its closing BLOCK_END header replaced:
// every installed MODE_REMOVE record of the file table (a font only when this run created
// it), and every desktop shortcut that the run saved, in table order; notes the created
// files' records in created. Leaves InstallDir with a trailing backslash and the file at
// its end. TargetPath and ScratchPath are used on the way.
void WriteUninstallFiles(UninstallWriter* writer, CreatedRecords* created);

// Creates the group shortcut of every record that has one and, with a writer, appends
// UNINSTALL_SHORTCUTS with the links that were saved; no block when none was recorded.
// Without a writer (null) the links are made all the same. TargetPath is used on the way.
void WriteGroupShortcuts(UninstallWriter* writer);

// Appends UNINSTALL_APP_KEY: the key path under HKEY_LOCAL_MACHINE.
void WriteAppKeyBlock(UninstallWriter* writer, const char* keyPath);

// Appends UNINSTALL_CREATED with the created records; nothing when there are none.
void WriteCreatedBlock(UninstallWriter* writer, const CreatedRecords& created);

// Appends UNINSTALL_COUNTS: the path of every file whose count the run raised and that no
// file record lists as shared; nothing when there is none. TargetPath is used on the way.
void WriteCountsBlock(UninstallWriter* writer);

// Appends the closing BLOCK_END header.
void WriteUninstallEnd(UninstallWriter* writer);
