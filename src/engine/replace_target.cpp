// Replacing an existing target: the temporary name, the version and language questions, the
// move into place with its retries, and the question about a target that cannot be replaced.
#include <windows.h>

#include <cstring>

#include "archive/file_checksum.h"
#include "base/file_io.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_file.h"
#include "engine/install_state.h"

namespace {

// Messages of the message list asked here.
constexpr uint32_t MESSAGE_CANNOT_REPLACE = 22;  // abort, retry, ignore
constexpr uint32_t MESSAGE_NEWER_EXISTS = 29;    // yes, no
constexpr uint32_t MESSAGE_OTHER_LANGUAGE = 30;  // yes, no
constexpr UINT QUESTION = MB_YESNO | MB_ICONQUESTION;

constexpr char TEMPORARY_SUFFIX[] = ".$$A";
constexpr char LAST_TEMPORARY_LETTER = 'Z';

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

// The questions of CheckVersion over the version information read into info.
int CompareVersions(const FileEntry* entry, void* info) {
  const FileVersionBlock& version = *EntryVersion(entry);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if ((entry->flags & FE_VERSION_CHECK) != 0 &&
      VerQueryValueA(info, root, reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
      length >= sizeof *fixed && ExistingIsNewer(*fixed, version) &&
      Ask(MESSAGE_NEWER_EXISTS, QUESTION, IDNO) != IDYES) {
    return 0;
  }
  WORD* translation = nullptr;
  char translations[] = "\\VarFileInfo\\Translation";
  if ((entry->flags & FE_LANGUAGE_CHECK) != 0 &&
      VerQueryValueA(info, translations, reinterpret_cast<void**>(&translation), &length) &&
      translation != nullptr && length >= 2 * sizeof(WORD) && translation[0] != version.language &&
      Ask(MESSAGE_OTHER_LANGUAGE, QUESTION, IDNO) != IDYES) {
    return 0;
  }
  return 1;
}

bool IsReadOnly(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A deletion refused because another program holds the file (Windows 95 says access denied,
// NT a sharing violation) or because it is protected.
bool DeletionRefused(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The move into place; a rename that fails leaves the target not placed.
bool MoveIntoPlace(FileEntry* entry, const char* temporary, EntryStatus placed) {
  if (!MoveFileA(temporary, TargetPath)) {
    DeleteFileA(temporary);
    entry->status = STATUS_NOT_PLACED;
    return false;
  }
  entry->status = placed;
  return true;
}

// A read-only target: deleted with its attribute cleared, the new file read-only again.
void ReplaceProtectedTarget(FileEntry* entry, const char* temporary) {
  const DWORD attributes = GetFileAttributesA(TargetPath);
  for (;;) {
    SetFileAttributesA(TargetPath, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (DeleteFileA(TargetPath)) {
      if (MoveIntoPlace(entry, temporary, STATUS_REPLACED)) {
        SetFileAttributesA(TargetPath, GetFileAttributesA(TargetPath) | FILE_ATTRIBUTE_READONLY);
      }
      return;
    }
    SetFileAttributesA(TargetPath, attributes);  // the old file stays as it was
    if (AskInUse(entry, temporary) != IDRETRY) return;
  }
}

}  // namespace

bool TemporaryName(char* path) {
  if (!CopyPath(path, TargetPath) || !ReplaceExtension(path, TEMPORARY_SUFFIX)) return false;
  char* letter = path + std::strlen(path) - 1;
  while (FileExists(path)) {
    if (*letter == LAST_TEMPORARY_LETTER) return false;
    ++*letter;
  }
  return true;
}

int CheckVersion(const FileEntry* entry) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(TargetPath, &handle);
  if (size == 0) return 1;  // no file, or no version information: install
  uint8_t* info = nullptr;
  if (!MemAlloc(size, &info)) return 1;
  const int result = GetFileVersionInfoA(TargetPath, 0, size, info) ? CompareVersions(entry, info) : 1;
  MemFree(info);
  return result;
}

void ReplaceTarget(FileEntry* entry, const char* temporary) {
  entry->status = STATUS_NOT_PLACED;
  if (IsReadOnly(TargetPath)) {
    ReplaceProtectedTarget(entry, temporary);
    return;
  }
  for (;;) {
    if (DeleteFileA(TargetPath)) {
      MoveIntoPlace(entry, temporary, STATUS_REPLACED);
      return;
    }
    if (!DeletionRefused(GetLastError())) {  // normally: there was no such file
      MoveIntoPlace(entry, temporary, STATUS_CREATED);
      return;
    }
    if (AskInUse(entry, temporary) != IDRETRY) return;
  }
}

int AskInUse(FileEntry* entry, const char* temporary) {
  int answer = IDIGNORE;
  if (EntryDirCode(entry) != DIR_FONTS) {
    FileHandle file = FileOpen(TargetPath, OPEN_READ);
    uint32_t size = 0;
    uint32_t checksum = 0;
    if (file != INVALID_FILE) {
      size = FileSize(file);
      if (size == entry->size) checksum = FileChecksum(file);
      FileClose(file);
    }
    if (size != entry->size || checksum != entry->checksum) {
      answer = Ask(MESSAGE_CANNOT_REPLACE, MB_ABORTRETRYIGNORE, IDIGNORE);
    }
  }
  if (answer != IDRETRY) DeleteFileA(temporary);
  if (answer == IDIGNORE) entry->status = STATUS_REPLACED;
  return answer;
}
