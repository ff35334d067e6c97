// What an installation leaves on the machine, read back through the system's own calls.
#include "support/system_state.h"

#include <objbase.h>
#include <shlobj.h>

#include "engine/registrations.h"

namespace test_setups {

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
  return path;
}

std::string SystemFolder() {
  char path[MAX_PATH] = "";
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string WindowsFolder() {
  char path[MAX_PATH] = "";
  GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

std::string FontsFolder() { return WindowsFolder() + "\\Fonts"; }

DWORD SharedCount(const std::string& path) {
  HKEY key = nullptr;
  DWORD count = 0, size = sizeof count;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  if (RegQueryValueExA(key, path.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size) !=
      ERROR_SUCCESS) {
    count = 0;
  }
  RegCloseKey(key);
  return count;
}

namespace {

// Opens key under HKEY_LOCAL_MACHINE through its parent: a whole path of over MAX_PATH
// characters is more than Wine's ANSI registry calls take.
HKEY OpenMachineKey(const std::string& key, REGSAM access) {
  const size_t last = key.rfind('\\');
  HKEY parent = nullptr, opened = nullptr;
  if (last == std::string::npos ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.substr(0, last).c_str(), 0, access, &parent) != ERROR_SUCCESS) {
    return nullptr;
  }
  if (RegOpenKeyExA(parent, key.substr(last + 1).c_str(), 0, access, &opened) != ERROR_SUCCESS) opened = nullptr;
  RegCloseKey(parent);
  return opened;
}

}  // namespace

std::string MachineString(const std::string& key, const char* name) {
  char text[MAX_PATH] = "";
  DWORD size = sizeof text;
  HKEY opened = OpenMachineKey(key, KEY_READ);
  if (opened == nullptr) return "";
  if (RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
    text[0] = '\0';
  }
  RegCloseKey(opened);
  return text;
}

DWORD MachineNumber(const std::string& key, const char* name, DWORD missing) {
  DWORD number = missing, type = 0, size = sizeof number;
  HKEY opened = OpenMachineKey(key, KEY_READ);
  if (opened == nullptr) return missing;
  if (RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    number = missing;
  }
  RegCloseKey(opened);
  return number;
}

std::vector<std::string> MachineValueNames(const std::string& key) {
  std::vector<std::string> names;
  HKEY opened = OpenMachineKey(key, KEY_READ);
  if (opened == nullptr) return names;
  char name[MAX_PATH];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(opened);
  return names;
}

bool MachineKeyExists(const std::string& key) {
  HKEY opened = OpenMachineKey(key, KEY_READ);
  if (opened == nullptr) return false;
  RegCloseKey(opened);
  return true;
}

void DeleteMachineKey(const std::string& key) {
  const size_t last = key.rfind('\\');
  HKEY parent = nullptr;
  if (last == std::string::npos ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.substr(0, last).c_str(), 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteKeyA(parent, key.substr(last + 1).c_str());
  RegCloseKey(parent);
}

std::string LinkTarget(const std::string& file) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return "";
  }
  char path[MAX_PATH] = "";
  IPersistFile* persist = nullptr;
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    if (SUCCEEDED(persist->Load(wide, STGM_READ))) link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    persist->Release();
  }
  link->Release();
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace test_setups
