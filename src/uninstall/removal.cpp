// Removing what the setups recorded. A path is touched only when the list names it, and one
// outside the installation directory only when the setup created it, when it is a shared
// file that no program counts any more, or when it is a desktop or program-group shortcut.
#include "uninstall/removal.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "archive/names.h"
#include "base/path_buffer.h"
#include "base/text_format.h"
#include "system/self_delete.h"
#include "system/shell_folders.h"
#include "system/system_registry.h"

namespace {

constexpr char REPORT_SEPARATOR[] = "\n";

enum SharedCount { SHARED_STILL_USED, SHARED_UNCOUNTED, SHARED_NO_LONGER_USED };

void AddToReport(char* list, uint32_t* count, const char* path) {
  if (*count != 0) AppendCutText(list, REPORT_SIZE, REPORT_SEPARATOR);
  AppendCutText(list, REPORT_SIZE, path);
  ++*count;
}

// Lowers the file's count under SharedDLLs by one; at 0 the value goes. A file without a
// count (or without the key) is counted by nobody we know of: it stays.
SharedCount LowerSharedCount(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return SHARED_UNCOUNTED;
  }
  DWORD count = 0, type = 0, size = sizeof count;
  SharedCount result = SHARED_UNCOUNTED;
  if (RegQueryValueExA(key, path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) == ERROR_SUCCESS &&
      size == sizeof count) {
    if (count > 1) {
      --count;  // the value keeps the type it had
      RegSetValueExA(key, path, 0, type, reinterpret_cast<const BYTE*>(&count), sizeof count);
      result = SHARED_STILL_USED;
    } else {
      RegDeleteValueA(key, path);
      result = SHARED_NO_LONGER_USED;
    }
  }
  RegCloseKey(key);
  return result;
}

// A file record of a desktop shortcut: flags 0, a name with SHORTCUT_SUFFIX, in the desktop
// folder.
bool IsDesktopShortcut(const RemovalFile& file, const char* path) {
  char name[PATH_BUFFER_SIZE];
  char desktopLink[PATH_BUFFER_SIZE];
  if (file.flags != 0 || !CopyCounted(file.name, name, sizeof name) || file.name.length <= SHORTCUT_SUFFIX_LENGTH ||
      lstrcmpiA(name + file.name.length - SHORTCUT_SUFFIX_LENGTH, SHORTCUT_SUFFIX) != 0) {
    return false;
  }
  name[file.name.length - SHORTCUT_SUFFIX_LENGTH] = '\0';
  return DesktopShortcutPath(name, desktopLink) && lstrcmpiA(desktopLink, path) == 0;
}

// Whether path is folder or lies below it, letters compared without their case.
bool IsAtOrBelow(const char* path, const char* folder) {
  const int length = lstrlenA(folder);
  return length != 0 && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, length, folder, length) ==
                            CSTR_EQUAL &&
         (path[length] == '\0' || path[length] == '\\');
}

// Two names of one file: the same letters, or the same short name.
bool SameFile(const char* a, const char* b) {
  if (lstrcmpiA(a, b) == 0) return true;
  char shortA[PATH_BUFFER_SIZE];
  char shortB[PATH_BUFFER_SIZE];
  const DWORD lengthA = GetShortPathNameA(a, shortA, sizeof shortA);
  const DWORD lengthB = GetShortPathNameA(b, shortB, sizeof shortB);
  return lengthA != 0 && lengthA < sizeof shortA && lengthB != 0 && lengthB < sizeof shortB &&
         lstrcmpiA(shortA, shortB) == 0;
}

// An Uninstall key that is not there names nobody; one that is must start this program.
bool KeyNamesProgram(const char* key, const char* ownPath) {
  HKEY parent = nullptr;
  HKEY opened = nullptr;
  const char* name = OpenParentKey(key, KEY_READ, false, &parent);
  const LONG found = name != nullptr ? RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE, &opened) : ERROR_FILE_NOT_FOUND;
  if (parent != nullptr) RegCloseKey(parent);
  if (found != ERROR_SUCCESS) return true;
  char program[PATH_BUFFER_SIZE];
  DWORD type = 0, size = sizeof program - 1;
  const LONG read = RegQueryValueExA(opened, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(program), &size);
  RegCloseKey(opened);
  if (read != ERROR_SUCCESS || type != REG_SZ) return false;
  program[size] = '\0';
  return SameFile(program, ownPath);
}

void RemoveRecordedFile(const RemovalFile& file, const char* installDir, SharedFileQuestion ask,
                        RemovalReport* report) {
  char path[PATH_BUFFER_SIZE];
  if (!RemovalFilePath(file, installDir, path)) return;  // refused before anything was removed
  const bool shared = (file.flags & UNINSTALL_SHARED) != 0;
  // Outside the installation folder a file that the setup replaced was someone else's
  // before: only a file it created, a shared file no program counts any more, and its
  // desktop shortcut go.
  if (!IsBelowInstallDir(file) && !shared && !file.created && !IsDesktopShortcut(file, path)) return;
  if (shared && (LowerSharedCount(path) != SHARED_NO_LONGER_USED || !ask(path))) return;
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return;  // gone already
  if ((file.flags & UNINSTALL_SELF_REGISTERED) != 0) CallServerExport(path, "DllUnregisterServer");
  if ((file.flags & UNINSTALL_FONT) != 0 && RemoveFontResourceA(path) != 0) AnnounceFontChange();
  RemoveFileAt(path, report);
}

// Removes the folder at path when it is empty, then each parent down to (not including)
// the first stop; a folder that holds anything stays, and so do its parents.
void RemoveEmptyFolders(char* path, uint32_t stopLength) {
  StripBackslash(path);
  while (std::strlen(path) > stopLength && RemoveDirectoryA(path)) {
    char* last = std::strrchr(path, '\\');
    if (last == nullptr) return;
    *last = '\0';
  }
}

void RemoveGroupShortcuts(const RemovalList& list, RemovalReport* report) {
  char path[PATH_BUFFER_SIZE];
  char link[PATH_BUFFER_SIZE];
  for (uint32_t i = list.shortcutCount; i-- > 0;) {
    const RemovalShortcut& shortcut = list.shortcuts[i];
    if (CopyCounted(shortcut.folder, path, sizeof path) && CopyCounted(shortcut.link, link, sizeof link) &&
        AppendPath(path, "\\") && AppendPath(path, link)) {
      RemoveFileAt(path, report);
    }
  }
  // The folders once their links are gone, and the parents that the setup made for them,
  // below the Programs folder.
  char programs[PATH_BUFFER_SIZE];
  ShellFolderPath(CSIDL_PROGRAMS, programs);
  StripBackslash(programs);
  const uint32_t programsLength = static_cast<uint32_t>(std::strlen(programs));
  for (uint32_t i = list.shortcutCount; i-- > 0;) {
    if (!CopyCounted(list.shortcuts[i].folder, path, sizeof path)) continue;
    const bool belowPrograms = IsAtOrBelow(path, programs) && path[programsLength] == '\\';
    RemoveEmptyFolders(path, belowPrograms ? programsLength : static_cast<uint32_t>(std::strlen(path)) - 1);
  }
}

// The subfolders that the files' records name, deepest first, when they are empty.
void RemoveEmptySubfolders(const RemovalList& list, const char* installDir) {
  const uint32_t installLength = static_cast<uint32_t>(std::strlen(installDir));
  char path[PATH_BUFFER_SIZE];
  for (uint32_t i = list.fileCount; i-- > 0;) {
    const RemovalFile& file = list.files[i];
    if (!IsBelowInstallDir(file) || file.directory.length == 1) continue;
    if (!RemovalFilePath(file, installDir, path)) continue;
    *std::strrchr(path, '\\') = '\0';  // the file's folder
    RemoveEmptyFolders(path, installLength);
  }
}

}  // namespace

bool IsWhatASetupWrites(const RemovalList& list, const char* ownPath) {
  char folder[PATH_BUFFER_SIZE];
  char path[PATH_BUFFER_SIZE];
  // Fonts lie in the Fonts folder.
  const bool fonts = ShellFolderPath(CSIDL_FONTS, folder);
  for (uint32_t i = 0; i < list.fileCount; ++i) {
    const RemovalFile& file = list.files[i];
    if ((file.flags & UNINSTALL_FONT) == 0) continue;
    if (!fonts || !CopyCounted(file.directory, path, sizeof path) || lstrcmpiA(path, folder) != 0) return false;
  }
  // Group shortcuts lie in the Programs folder or below it.
  if (list.shortcutCount != 0 && !ShellFolderPath(CSIDL_PROGRAMS, folder)) return false;
  StripBackslash(folder);
  for (uint32_t i = 0; i < list.shortcutCount; ++i) {
    if (!CopyCounted(list.shortcuts[i].folder, path, sizeof path) || !IsAtOrBelow(path, folder)) return false;
  }
  // The Uninstall key, where it is there, names this program.
  for (uint32_t i = 0; i < list.appKeyCount; ++i) {
    char key[UNINSTALL_KEY_PATH_SIZE];
    if (!CopyCounted(list.appKeys[i], key, sizeof key) || !KeyNamesProgram(key, ownPath)) return false;
  }
  return true;
}

bool AllPathsFit(const RemovalList& list, const char* installDir) {
  char path[PATH_BUFFER_SIZE];
  for (uint32_t i = 0; i < list.fileCount; ++i) {
    if (!RemovalFilePath(list.files[i], installDir, path)) return false;
  }
  for (uint32_t i = 0; i < list.shortcutCount; ++i) {
    const RemovalShortcut& shortcut = list.shortcuts[i];
    if (shortcut.folder.length + 1 + shortcut.link.length >= PATH_BUFFER_SIZE) return false;
  }
  for (uint32_t i = 0; i < list.countCount; ++i) {
    if (list.counts[i].length >= PATH_BUFFER_SIZE) return false;
  }
  return true;
}

void RemoveFileAt(const char* path, RemovalReport* report) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesA(path, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  }
  if (DeleteFileA(path)) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  if (ScheduleDeletionAtRestart(path)) {
    AddToReport(report->atRestart, &report->atRestartCount, path);
  } else {
    AddToReport(report->notRemoved, &report->notRemovedCount, path);
  }
}

void RemoveEverything(const RemovalList& list, const char* installDir, SharedFileQuestion ask,
                      RemovalReport* report) {
  RemoveGroupShortcuts(list, report);
  for (uint32_t i = list.fileCount; i-- > 0;) RemoveRecordedFile(list.files[i], installDir, ask, report);
  // The counts raised for files that stay: each goes down once, and the file stays.
  char path[PATH_BUFFER_SIZE];
  for (uint32_t i = list.countCount; i-- > 0;) {
    if (CopyCounted(list.counts[i], path, sizeof path)) LowerSharedCount(path);
  }
  RemoveEmptySubfolders(list, installDir);
  char key[UNINSTALL_KEY_PATH_SIZE];
  for (uint32_t i = list.appKeyCount; i-- > 0;) {
    HKEY parent = nullptr;
    const char* name = CopyCounted(list.appKeys[i], key, sizeof key) ? OpenParentKey(key, KEY_ALL_ACCESS, false, &parent) : nullptr;
    if (name != nullptr) RegDeleteKeyA(parent, name);
    if (parent != nullptr) RegCloseKey(parent);
  }
}
