// Self-deletion of a temporary copy of the setup at the next system start.
#include "system/self_delete.h"

#include <windows.h>

#include <cstring>

#include "base/file_io.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "system/program_file.h"

namespace {

constexpr char WININIT_NAME[] = "\\WININIT.INI";
constexpr char RENAME_SECTION[] = "Rename";
// The profile functions keep keys unique: writing NUL directly would replace another
// program's pending deletion. The entry goes in under a placeholder key renamed in place.
constexpr char PLACEHOLDER_KEY[] = "xyz";
constexpr char DELETE_KEY[] = "NUL";
constexpr uint32_t KEY_LENGTH = sizeof(PLACEHOLDER_KEY) - 1;
static_assert(sizeof(DELETE_KEY) == sizeof(PLACEHOLDER_KEY), "the key is rewritten in place");

bool IsLineBreak(uint8_t c) { return c == '\r' || c == '\n'; }

// The Windows directory's WININIT.INI into a PATH_BUFFER_SIZE buffer.
bool GetWininitPath(char* path) {
  UINT length = GetWindowsDirectoryA(path, PATH_BUFFER_SIZE);
  if (length == 0 || length >= PATH_BUFFER_SIZE) return false;
  const char* name = path[length - 1] == '\\' ? WININIT_NAME + 1 : WININIT_NAME;
  if (std::strlen(name) >= PATH_BUFFER_SIZE - length) return false;
  std::strcpy(path + length, name);
  return true;
}

bool ScheduleWininitDeletion(const char* path) {
  char shortPath[PATH_BUFFER_SIZE];
  DWORD length = GetShortPathNameA(path, shortPath, PATH_BUFFER_SIZE);
  if (length == 0 || length >= PATH_BUFFER_SIZE) return false;
  char iniPath[PATH_BUFFER_SIZE];
  return GetWininitPath(iniPath) && RegisterWininitDeletion(iniPath, shortPath);
}

}  // namespace

uint32_t FindWininitEntry(const uint8_t* text, uint32_t size, const char* shortPath) {
  const uint32_t pathLength = static_cast<uint32_t>(std::strlen(shortPath));
  const uint32_t entryLength = KEY_LENGTH + 1 + pathLength;  // key, '=', path
  if (size < entryLength) return NO_WININIT_ENTRY;
  // Every compared byte lies within the file: at + entryLength <= size.
  for (uint32_t at = 0; at <= size - entryLength; ++at) {
    if (at != 0 && !IsLineBreak(text[at - 1])) continue;
    const uint32_t end = at + entryLength;
    if (end != size && !IsLineBreak(text[end])) continue;
    if (std::memcmp(text + at, PLACEHOLDER_KEY, KEY_LENGTH) == 0 &&
        text[at + KEY_LENGTH] == '=' &&
        std::memcmp(text + at + KEY_LENGTH + 1, shortPath, pathLength) == 0) {
      return at;
    }
  }
  return NO_WININIT_ENTRY;
}

bool RewriteWininitEntry(const char* iniPath, const char* shortPath) {
  FileHandle file = FileOpen(iniPath, OPEN_READ_WRITE);
  if (file == INVALID_FILE) return false;
  bool rewritten = false;
  uint8_t* text = nullptr;
  const uint32_t size = FileSize(file);
  if (size != FILE_BAD_POSITION && MemAlloc(size, &text) && FileRead(file, text, size) == FILE_OK) {
    const uint32_t at = FindWininitEntry(text, size, shortPath);
    if (at != NO_WININIT_ENTRY) {
      std::memcpy(text + at, DELETE_KEY, KEY_LENGTH);
      rewritten = FileSeek(file, 0) == 0 && FileWrite(file, text, size) == FILE_OK;
    }
  }
  MemFree(text);
  FileClose(file);
  return rewritten;
}

bool RegisterWininitDeletion(const char* iniPath, const char* shortPath) {
  WritePrivateProfileStringA(RENAME_SECTION, PLACEHOLDER_KEY, shortPath, iniPath);
  // Flushes the system's cached copy of the file, so that the rewrite below sees the entry.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath);
  return RewriteWininitEntry(iniPath, shortPath);
}

bool ScheduleDeletionAtRestart(const char* path) {
  OSVERSIONINFOA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  }
  return ScheduleWininitDeletion(path);
}

void ScheduleSelfDeletion() {
  if (GetOwnPath(TargetPath)) ScheduleDeletionAtRestart(TargetPath);
}
