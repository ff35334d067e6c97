// FinishInstallation: what a successful run adds after its files.
#include "engine/finish_installation.h"

#include <windows.h>

#include <cstring>

#include "archive/data_area.h"
#include "archive/setup_archive.h"
#include "base/file_io.h"
#include "base/session_paths.h"
#include "engine/install_state.h"
#include "engine/uninstall_data.h"

namespace {

// The prefix and a name of up to 259 characters, as the builder allows.
constexpr uint32_t UNINSTALL_KEY_SIZE = sizeof(UNINSTALL_KEY_PREFIX) + PATH_BUFFER_SIZE;

void SetStringValue(HKEY key, const char* name, const char* text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

// Lists the application for removal and records the key in the uninstall data.
void RegisterUninstall(FileHandle uninstallFile) {
  char keyPath[UNINSTALL_KEY_SIZE];
  const size_t nameLength = std::strlen(Archive.appName);
  if (sizeof(UNINSTALL_KEY_PREFIX) + nameLength > sizeof keyPath) return;  // no such name is built
  std::memcpy(keyPath, UNINSTALL_KEY_PREFIX, sizeof(UNINSTALL_KEY_PREFIX) - 1);
  std::memcpy(keyPath + sizeof(UNINSTALL_KEY_PREFIX) - 1, Archive.appName, nameLength + 1);
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key) == ERROR_SUCCESS) {
    SetStringValue(key, "DisplayName", Archive.appName);
    SetStringValue(key, "UninstallString", UninstallPath);
    RegCloseKey(key);
  }
  WriteAppKeyBlock(uninstallFile, keyPath);
}

void WriteUninstallData() {
  FileHandle file = FileOpen(UninstallPath, OPEN_READ_WRITE);
  WriteUninstallFiles(file);
  WriteGroupShortcuts(file);  // creates the program-group shortcuts
  if (Archive.appName != nullptr && Archive.appName[0] != '\0') RegisterUninstall(file);
  WriteUninstallEnd(file);
  if (file != INVALID_FILE) FileClose(file);
}

}  // namespace

void FinishInstallation() {
  CloseDataArea();
  if (InstallError == INSTALL_OK) {
    if (UninstallPath[0] == '\0') {
      WriteGroupShortcuts(INVALID_FILE);
    } else {
      WriteUninstallData();
    }
  }
  if (Archive.startPage == START_PAGE_ALL && Display.goToPage != nullptr) {
    Display.goToPage(FINISH_PAGE);
  }
  Archive.DataAreaOpen = false;
}
