// The default installation directory: the registry or INI lookup, trimmed to an existing
// directory and spelt as stored, or a "#" macro.
#include <windows.h>

#include <cstring>

#include "archive/setup_archive.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/default_dir.h"
#include "engine/target_paths.h"

namespace {

// Registry roots by dirRegRoot; any other index is HKEY_CURRENT_USER.
HKEY RegistryRoot(uint32_t index) {
  switch (index) {
    case DIR_REG_CLASSES_ROOT: return HKEY_CLASSES_ROOT;
    case DIR_REG_LOCAL_MACHINE: return HKEY_LOCAL_MACHINE;
    case DIR_REG_USERS: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

constexpr char PROGRAM_FILES_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char PROGRAM_FILES_VALUE[] = "ProgramFilesDir";

// Reads a registry value of any type into path (PATH_BUFFER_SIZE bytes), terminated; a
// value that is missing or does not fit leaves path as it was.
void ReadRegistryPath(HKEY key, const char* value, char* path) {
  char data[PATH_BUFFER_SIZE + 1] = "";
  DWORD size = PATH_BUFFER_SIZE;
  if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return;
  }
  data[size < PATH_BUFFER_SIZE ? size : PATH_BUFFER_SIZE] = '\0';
  CopyPath(path, data);
}

// The registry lookup: true when the key opened, even when its value was missing.
bool LookUpRegistry() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RegistryRoot(Archive.dirRegRoot), Archive.dirRegKey, 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  ReadRegistryPath(key, Archive.dirRegValue, InstallDir);  // null: the key's default value
  RegCloseKey(key);
  return true;
}

void LookUpIniFile() {
  CopyPath(ScratchPath, InstallDir);
  GetPrivateProfileStringA(Archive.dirIniSection, Archive.dirIniKey, ScratchPath, InstallDir,
                           PATH_BUFFER_SIZE, Archive.dirIniFile);
}

// Cuts InstallDir character by character until it names a directory that exists (which
// becomes the current directory), then spells it as stored.
void TrimToExistingDirectory() {
  size_t length = std::strlen(InstallDir);
  while (length > 0 && !SetCurrentDirectoryA(InstallDir)) InstallDir[--length] = '\0';
  if (length > 0) MatchStoredNames(InstallDir);
}

// The directory a macro stands for (empty for an unknown macro or a failing read).
void ExpandMacro(const char* macro, char* directory) {
  directory[0] = '\0';
  if (lstrcmpiA(macro, "#Windows") == 0) {
    if (GetWindowsDirectoryA(directory, PATH_BUFFER_SIZE) == 0) directory[0] = '\0';
  } else if (lstrcmpiA(macro, "#System") == 0) {
    if (GetSystemDirectoryA(directory, PATH_BUFFER_SIZE) == 0) directory[0] = '\0';
  } else if (lstrcmpiA(macro, "#Program Files") == 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROGRAM_FILES_KEY, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
      ReadRegistryPath(key, PROGRAM_FILES_VALUE, directory);
      RegCloseKey(key);
    }
  }
}

// "#macro#rest": the macro's directory, a backslash and the rest (one leading backslash of
// the rest dropped). A result longer than the buffer is cut: the user sees and can fix it.
void ExpandDirectoryMacro() {
  if (InstallDir[0] != '#') return;
  char* second = std::strchr(InstallDir + 1, '#');
  if (second == nullptr) return;
  *second = '\0';
  const char* rest = second + 1;
  if (*rest == '\\') ++rest;
  char directory[PATH_BUFFER_SIZE];
  ExpandMacro(InstallDir, directory);
  char expanded[PATH_BUFFER_SIZE * 2];
  std::strcpy(expanded, directory);
  if (expanded[0] != '\0' && expanded[std::strlen(expanded) - 1] != '\\') {
    AppendText(expanded, sizeof expanded, "\\");
  }
  AppendText(expanded, sizeof expanded, rest);  // both parts are below PATH_BUFFER_SIZE
  CopyPath(InstallDir, expanded);
}

}  // namespace

void ResolveDefaultDir() {
  bool lookedUp = false;
  if (Archive.dirRegKey != nullptr) {
    lookedUp = LookUpRegistry();
    if (!lookedUp) {  // a key that does not open rules out the INI lookup too
      ExpandDirectoryMacro();
      return;
    }
  } else if (Archive.dirIniFile != nullptr && Archive.dirIniSection != nullptr &&
             Archive.dirIniKey != nullptr) {
    LookUpIniFile();
    lookedUp = true;
  }
  if (lookedUp) {
    TrimToExistingDirectory();
  } else {
    ExpandDirectoryMacro();
  }
}

void MatchStoredNames(char* path) {
  char work[PATH_BUFFER_SIZE] = "";
  const char* at = path;
  if (path[0] != '\0' && path[1] == ':') {  // the drive part
    work[0] = path[0];
    work[1] = ':';
    work[2] = '\0';
    at = path + 2;
  }
  while (*at == '\\') ++at;
  WIN32_FIND_DATAA found;
  for (;;) {
    const char* end = std::strchr(at, '\\');
    const size_t length = end != nullptr ? size_t(end - at) : std::strlen(at);
    const size_t used = std::strlen(work);
    if (used + 1 + length >= PATH_BUFFER_SIZE) return;  // cannot be longer than the path
    work[used] = '\\';
    std::memcpy(work + used + 1, at, length);
    work[used + 1 + length] = '\0';
    if (end == nullptr) StripBackslash(work);
    HANDLE search = FindFirstFileA(work, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FindClose(search);
    if (length > 0) {
      work[used + 1] = '\0';
      if (!AppendPath(work, found.cFileName)) return;
    }
    if (end == nullptr) break;
    at = end + 1;
  }
  CopyPath(path, work);
}
