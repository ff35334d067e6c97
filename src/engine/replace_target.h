// Replacing an existing target: the version and language questions, the move into place
// with its retries, the question about a target that cannot be replaced, and the temporary
// names beside the target.
#pragma once

#include "base/file_io.h"

#include <cstdint>

struct FileEntry;

// True to replace the existing TargetPath, false to keep it: a newer existing version, or
// one in another language, is replaced only when the user agrees (messages 29 and 30).
bool CheckVersion(const FileEntry* entry);

// Moves the temporary file into place over TargetPath and sets the record's status:
// STATUS_REPLACED or STATUS_CREATED, or STATUS_NOT_PLACED when it could not be moved (the
// temporary file is then deleted). At every moment the old file or the new one stands under
// the target's name: the system's replacing move, read-only attribute kept.
void ReplaceTarget(FileEntry* entry, const char* temporary);

// The replacing move of a system without one (Windows 95): the old file is moved aside to a
// free temporary name, the new one moved in, the old one deleted; when the new one cannot
// follow, the old one goes back. False with the system's error when nothing was replaced.
bool ReplaceByMovingAside(const char* temporary, unsigned long* error);

// Asks what to do about a target that cannot be replaced (message 22): IDABORT, IDRETRY or
// IDIGNORE. A locked target that is already identical, and a locked font, pass as Ignore
// without a question and count as replaced. Anything but Retry deletes the temporary file;
// Ignore on a target that differs keeps it as the user's (STATUS_NONE): this setup did not
// write it, so it is not listed for removal.
int AskInUse(FileEntry* entry, const char* temporary);

// Whether the file at path is the record's already: its size, then its checksum.
bool ExistingFileMatches(const FileEntry* entry, const char* path);

// Creates the temporary file for TargetPath, its name into path: the extension replaced by
// ".$$A", the last letter raised while a file of that name exists (each name is tried by
// creating it, so that a taken one is passed over and a free one made in one call).
// INVALID_FILE when ".$$Z" is taken too (*taken set), the name would not fit, or the file
// cannot be created.
FileHandle CreateTemporaryFile(char* path, bool* taken);

// Deletes the temporary names beside TargetPath before used (from ".$$A" on): a run that was
// stopped in the middle of a file left them, and they made this run choose used.
void RemoveStaleTemporaries(const char* used);
