// Target paths of file records.
#include "engine/target_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "base/session_paths.h"
#include "engine/file_table.h"
#include "system/shell_folders.h"

namespace {

// The Fonts folder as the shell reports it, else the Windows directory's "Fonts".
bool FontsFolder(char* path) {
  if (ShellFolderPath(CSIDL_FONTS, path)) return true;
  if (GetWindowsDirectoryA(path, PATH_BUFFER_SIZE) == 0) path[0] = '\0';
  return AppendBackslash(path) && AppendPath(path, "Fonts");
}

// The directory of a DIR_SYSTEM file as the version library proposes it. Writes the whole
// target path and returns true when it is settled here (the file in use, or one found where
// the library points); false leaves TargetPath = the directory to append the name to.
bool PlaceSharedFile(const char* name, TargetResult* result) {
  char destination[PATH_BUFFER_SIZE] = "";
  char current[PATH_BUFFER_SIZE] = "";
  char windows[PATH_BUFFER_SIZE] = "";
  StripBackslash(TargetPath);  // the application directory
  char bareName[PATH_BUFFER_SIZE];  // the library's prototype takes writable names
  CopyPath(bareName, PathFileName(name));
  GetWindowsDirectoryA(windows, sizeof windows);
  UINT currentSize = sizeof current;
  UINT destinationSize = sizeof destination;
  const DWORD found = VerFindFileA(VFFF_ISSHAREDFILE, bareName, windows, TargetPath, current,
                                   &currentSize, destination, &destinationSize);
  if ((found & VFF_FILEINUSE) != 0) {
    // The file in use is where the library found it: later steps compare it and name it.
    char path[PATH_BUFFER_SIZE] = "";
    if (current[0] != '\0') {
      CopyPath(path, current);
    } else if (destination[0] != '\0') {
      CopyPath(path, destination);
    } else if (GetSystemDirectoryA(path, sizeof path) == 0) {
      path[0] = '\0';
    }
    const bool fits = AppendBackslash(path) && AppendPath(path, bareName);
    CopyPath(TargetPath, fits ? path : "");
    *result = fits ? TARGET_IN_USE : TARGET_TOO_LONG;
    return true;
  }
  if (destination[0] != '\0' && AppendBackslash(destination) && AppendPath(destination, bareName)) {
    CopyPath(TargetPath, destination);
    const HANDLE file = CreateFileA(TargetPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      *result = TARGET_RESOLVED;
      return true;
    }
  }
  if (GetSystemDirectoryA(TargetPath, PATH_BUFFER_SIZE) == 0) TargetPath[0] = '\0';
  return false;
}

}  // namespace

TargetResult ResolveTargetPath(const FileEntry* entry) {
  const char* name = EntryString(entry, ENTRY_NAME);
  CopyPath(TargetPath, InstallDir);
  bool fits = true;
  if (EntryInstallMode(entry) == MODE_EXTERNAL) {
    // Beside the setup program: its path with the file name part replaced by name.
    CopyPath(TargetPath, SourcePath);
    TargetPath[PathFileName(TargetPath) - TargetPath] = '\0';
    fits = AppendPath(TargetPath, name);
  } else {
    switch (EntryDirCode(entry)) {
      case DIR_WINDOWS:
        if (GetWindowsDirectoryA(TargetPath, PATH_BUFFER_SIZE) == 0) TargetPath[0] = '\0';
        break;
      case DIR_SYSTEM: {
        TargetResult result = TARGET_RESOLVED;
        if (PlaceSharedFile(name, &result)) return result;
        break;
      }
      case DIR_FONTS: fits = FontsFolder(TargetPath); break;
      default: break;
    }
    fits = fits && AppendBackslash(TargetPath) && AppendPath(TargetPath, name);
  }
  if (fits) return TARGET_RESOLVED;
  TargetPath[0] = '\0';  // never a cut path: it could name another file
  return TARGET_TOO_LONG;
}
