// The shell's folders, and the paths of links in them.
#include "system/shell_folders.h"

#include <shlobj.h>

#include <cstring>

#include "base/path_buffer.h"

bool ShellFolderPath(int csidl, char* path) {
  // The shell writes at most MAX_PATH characters, the size of the path buffers.
  path[0] = '\0';
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || list == nullptr) return false;
  const bool found = SHGetPathFromIDListA(list, path) != FALSE;
  CoTaskMemFree(list);
  if (!found) path[0] = '\0';
  return path[0] != '\0';
}

bool AppendLinkName(char* path, const char* name) {
  const size_t used = std::strlen(path);
  if (AppendBackslash(path) && AppendPath(path, name) && AppendPath(path, SHORTCUT_SUFFIX)) {
    return true;
  }
  path[used] = '\0';
  return false;
}

bool DesktopShortcutPath(const char* name, char* linkPath) {
  if (ShellFolderPath(CSIDL_DESKTOP, linkPath) && AppendLinkName(linkPath, name)) return true;
  linkPath[0] = '\0';
  return false;
}
