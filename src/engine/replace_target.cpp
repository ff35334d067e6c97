// Replacing an existing target: the temporary name, the version and language questions, the
// move into place with its retries, and the question about a target that cannot be replaced.
#include "engine/replace_target.h"

#include <windows.h>

#include <cstring>

#include "archive/file_checksum.h"
#include "archive/text_numbers.h"
#include "base/file_io.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"

namespace {

constexpr UINT QUESTION = MB_YESNO | MB_ICONQUESTION;

constexpr char TEMPORARY_SUFFIX[] = ".$$A";
constexpr char FIRST_TEMPORARY_LETTER = 'A';
constexpr char LAST_TEMPORARY_LETTER = 'Z';
static_assert(TEMPORARY_SUFFIX[sizeof TEMPORARY_SUFFIX - 2] == FIRST_TEMPORARY_LETTER, "the first name's letter");

// Message n about TargetPath; the default answer when nobody can be asked.
int Ask(uint32_t n, UINT style, int unanswered) {
  SetErrorPath(TargetPath);
  return Display.askMessage != nullptr ? Display.askMessage(n, style) : unanswered;
}

bool FileExists(const char* path) {
  FileHandle file = FileOpen(path, OPEN_READ);
  if (file == INVALID_FILE) return false;
  FileClose(file);
  return true;
}

uint64_t Version(DWORD high, DWORD low) { return uint64_t(high) << 32 | low; }

// The existing file is newer: a higher product version, or an equal one with a higher file
// version.
bool ExistingIsNewer(const VS_FIXEDFILEINFO& existing, const FileVersionBlock& version) {
  const uint64_t product = Version(existing.dwProductVersionMS, existing.dwProductVersionLS);
  const uint64_t ours = Version(version.productVersionMS, version.productVersionLS);
  if (product != ours) return product > ours;
  return Version(existing.dwFileVersionMS, existing.dwFileVersionLS) >
         Version(version.fileVersionMS, version.fileVersionLS);
}

// The questions of CheckVersion over the version information read into info: true to
// replace the existing file.
bool CompareVersions(const FileEntry* entry, void* info) {
  const FileVersionBlock& version = *EntryVersion(entry);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if ((entry->flags & FE_VERSION_CHECK) != 0 &&
      VerQueryValueA(info, root, reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
      length >= sizeof *fixed && ExistingIsNewer(*fixed, version) &&
      Ask(MESSAGE_REPLACE_NEWER, QUESTION, IDNO) != IDYES) {
    return false;
  }
  WORD* translation = nullptr;
  char translations[] = "\\VarFileInfo\\Translation";
  if ((entry->flags & FE_LANGUAGE_CHECK) != 0 &&
      VerQueryValueA(info, translations, reinterpret_cast<void**>(&translation), &length) &&
      translation != nullptr && length >= 2 * sizeof(WORD) && translation[0] != version.language &&
      Ask(MESSAGE_REPLACE_LANGUAGE, QUESTION, IDNO) != IDYES) {
    return false;
  }
  return true;
}

// A deletion refused because another program holds the file (Windows 95 says access denied,
// NT a sharing violation) or because it is protected.
bool DeletionRefused(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The name of a temporary file beside TargetPath whose last letter is the first free one
// from name's on; false when none is.
bool NextFreeName(char* name) {
  char* letter = name + std::strlen(name) - 1;
  while (FileExists(name)) {
    if (*letter == LAST_TEMPORARY_LETTER) return false;
    ++*letter;
  }
  return true;
}

// Puts the temporary file under TargetPath with the system's replacing move. False with the
// system's error when it failed: then the old file, if any, still stands.
bool MoveOver(const char* temporary, DWORD* error) {
  if (MoveFileExA(temporary, TargetPath, MOVEFILE_REPLACE_EXISTING)) return true;
  *error = GetLastError();
  return *error == ERROR_CALL_NOT_IMPLEMENTED && ReplaceByMovingAside(temporary, error);
}

// A target with the read-only attribute: the attribute is cleared for the move and set on
// the new file again; the old file keeps it when the move failed.
bool MoveOverProtected(const char* temporary, DWORD attributes, DWORD* error) {
  SetFileAttributesA(TargetPath, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (!MoveOver(temporary, error)) {
    SetFileAttributesA(TargetPath, attributes);
    return false;
  }
  SetFileAttributesA(TargetPath, GetFileAttributesA(TargetPath) | FILE_ATTRIBUTE_READONLY);
  return true;
}

}  // namespace

bool ExistingFileMatches(const FileEntry* entry, const char* path) {
  FileHandle file = FileOpen(path, OPEN_READ);
  if (file == INVALID_FILE) return false;
  const bool matches = FileSize(file) == entry->size && FileChecksum(file) == entry->checksum;
  FileClose(file);
  return matches;
}

FileHandle CreateTemporaryFile(char* path, bool* taken) {
  *taken = false;
  if (!CopyPath(path, TargetPath) || !ReplaceExtension(path, TEMPORARY_SUFFIX)) return INVALID_FILE;
  char* letter = path + std::strlen(path) - 1;
  for (;;) {
    const FileHandle file = FileCreateNew(path);
    if (file != INVALID_FILE || !FileNameTaken()) return file;
    if (*letter == LAST_TEMPORARY_LETTER) {
      *taken = true;
      return INVALID_FILE;
    }
    ++*letter;
  }
}

void RemoveStaleTemporaries(const char* used) {
  // The names before the one used were taken when it was chosen: a run that was stopped
  // left them.
  char stale[PATH_BUFFER_SIZE];
  if (!CopyPath(stale, used) || stale[0] == '\0') return;
  char* letter = stale + std::strlen(stale) - 1;
  const char usedLetter = *letter;
  for (*letter = FIRST_TEMPORARY_LETTER; *letter < usedLetter; ++*letter) {
    DeleteFileA(stale);
  }
}

bool ReplaceByMovingAside(const char* temporary, DWORD* error) {
  if (!FileExists(TargetPath)) {
    if (MoveFileA(temporary, TargetPath)) return true;
    *error = GetLastError();
    return false;
  }
  char aside[PATH_BUFFER_SIZE];
  if (!CopyPath(aside, temporary) || !NextFreeName(aside)) {
    *error = ERROR_FILE_EXISTS;
    return false;
  }
  if (!MoveFileA(TargetPath, aside)) {  // refused while another program holds the file
    *error = GetLastError();
    return false;
  }
  if (!MoveFileA(temporary, TargetPath)) {
    *error = GetLastError();
    MoveFileA(aside, TargetPath);  // the old file back under its name
    return false;
  }
  DeleteFileA(aside);
  return true;
}

bool CheckVersion(const FileEntry* entry) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(TargetPath, &handle);
  if (size == 0) return true;  // no file, or no version information: install
  uint8_t* info = nullptr;
  if (!MemAlloc(size, &info)) return true;
  const bool result = !GetFileVersionInfoA(TargetPath, 0, size, info) || CompareVersions(entry, info);
  MemFree(info);
  return result;
}

void ReplaceTarget(FileEntry* entry, const char* temporary) {
  // At every moment the old file or the new one stands under the target's name.
  entry->status = STATUS_NOT_PLACED;
  // The usual target is new: the plain move places it, and refuses when a file stands there.
  if (MoveFileA(temporary, TargetPath)) {
    entry->status = STATUS_CREATED;
    return;
  }
  const DWORD attributes = GetFileAttributesA(TargetPath);
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  for (;;) {
    DWORD error = 0;
    const bool moved = existed && (attributes & FILE_ATTRIBUTE_READONLY) != 0
                           ? MoveOverProtected(temporary, attributes, &error)
                           : MoveOver(temporary, &error);
    if (moved) {
      entry->status = existed ? STATUS_REPLACED : STATUS_CREATED;
      return;
    }
    if (!DeletionRefused(error)) {  // nothing to ask about: the file stays not placed
      DeleteFileA(temporary);
      return;
    }
    if (AskInUse(entry, temporary) != IDRETRY) return;
  }
}

int AskInUse(FileEntry* entry, const char* temporary) {
  int answer = IDIGNORE;
  bool identical = true;  // a locked font is passed over as installed
  if (EntryDirCode(entry) != DIR_FONTS) {
    identical = ExistingFileMatches(entry, TargetPath);
    if (!identical) answer = Ask(MESSAGE_CANNOT_REPLACE, MB_ABORTRETRYIGNORE, IDIGNORE);
  }
  if (answer != IDRETRY) DeleteFileA(temporary);
  // Passed over: a target that is already the file to install counts as installed; one
  // that differs stays the user's, and is kept as an existing file is.
  if (answer == IDIGNORE) entry->status = identical ? STATUS_REPLACED : STATUS_NONE;
  return answer;
}
