// Shell links through IShellLinkA and IPersistFile, and the folders they are saved in.
#include "engine/shortcuts.h"

#include <shlobj.h>

#include <cstring>

#include "archive/names.h"
#include "base/path_buffer.h"
#include "engine/directories.h"
#include "system/shell_folders.h"

namespace {

// The shell-link class, as published with the shell. The interfaces' ids come with their
// declarations (__uuidof), so the program links no library of every id the system has.
constexpr GUID SHELL_LINK_CLASS = {0x00021401, 0x0000, 0x0000,
                                   {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Makes the group folder the current directory, creating its missing levels first.
bool EnterGroupFolder(char* folder) {
  if (SetCurrentDirectoryA(folder)) return true;
  // CreateDirectories creates the whole of a path that ends in a backslash.
  if (!AppendBackslash(folder)) return false;
  CreateDirectories(folder);
  return SetCurrentDirectoryA(folder) != FALSE;
}

// Sets the link's fields and saves it at the wide path.
HRESULT SaveLink(IShellLinkA* link, const char* target, const WCHAR* path, const char* arguments,
                 uint32_t iconIndex) {
  link->SetPath(target);
  if (arguments != nullptr && arguments[0] != '\0') link->SetArguments(arguments);
  if (iconIndex != 0) link->SetIconLocation(target, static_cast<int>(iconIndex));
  IPersistFile* file = nullptr;
  HRESULT result = link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file));
  if (FAILED(result)) return result;
  result = file->Save(path, TRUE);
  file->Release();
  return result;
}

}  // namespace

HRESULT CreateShortcut(const char* target, const char* linkPath, const char* arguments,
                       uint32_t iconIndex) {
  // A path that does not fit is refused whole: a cut one could name another file.
  WCHAR path[LINK_PATH_CHARS];
  if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, path, LINK_PATH_CHARS) == 0) {
    return E_INVALIDARG;
  }
  IShellLinkA* link = nullptr;
  const HRESULT created = CoCreateInstance(SHELL_LINK_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                                           __uuidof(IShellLinkA), reinterpret_cast<void**>(&link));
  if (FAILED(created)) return created;
  const HRESULT result = SaveLink(link, target, path, arguments, iconIndex);
  link->Release();
  return result;
}

bool CreateGroupShortcut(const char* target, const char* groupFolder, const char* name,
                         const char* arguments, uint32_t iconIndex, SavedShortcut* saved) {
  char* folder = saved->folder;
  if (!ShellFolderPath(CSIDL_PROGRAMS, folder)) return false;
  if (groupFolder[0] != '\0') {
    if (!AppendBackslash(folder)) return false;
    // The group folder in the form the uninstall data's grammar reads ("Tools/Demo" is
    // Tools\Demo, as the system would make it).
    char* group = folder + std::strlen(folder);
    if (!AppendPath(folder, groupFolder)) return false;
    NormaliseNamePath(group);
  }
  StripBackslash(folder);
  if (!EnterGroupFolder(folder) || !AppendBackslash(folder)) return false;
  // folder[0, folderEnd) is the folder with its trailing backslash, the link's name behind it.
  const size_t folderEnd = std::strlen(folder);
  if (!AppendLinkName(folder, name)) return false;
  if (FAILED(CreateShortcut(target, folder, arguments, iconIndex))) return false;
  folder[folderEnd - 1] = '\0';
  saved->link = folder + folderEnd;
  return true;
}
