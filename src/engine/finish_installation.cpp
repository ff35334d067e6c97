// FinishInstallation: what a successful run adds after its files.
#include "engine/finish_installation.h"

#include <windows.h>

#include <cstring>

#include "archive/app_entry.h"
#include "archive/data_area.h"
#include "archive/setup_archive.h"
#include "base/file_io.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/registrations.h"
#include "engine/space_requirement.h"
#include "engine/target_paths.h"
#include "engine/uninstall_data.h"

namespace {

constexpr uint32_t ICON_INDEX_TEXT_SIZE = 8;  // ",-32768"
static_assert(sizeof(",-32768") <= ICON_INDEX_TEXT_SIZE, "the comma, the sign and five digits");
constexpr uint32_t KB_SHIFT = 10;
static_assert(KB == 1u << KB_SHIFT, "bytes to KB is a shift");

void SetStringValue(HKEY key, const char* name, const char* text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

void SetNumberValue(HKEY key, const char* name, DWORD number) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// The entry's texts by name, in the order of their numbers (APP_ENTRY_VERSION on).
constexpr const char* ENTRY_TEXT_NAMES[APP_ENTRY_TEXT_COUNT] = {"DisplayVersion", "Publisher", "URLInfoAbout"};
static_assert(APP_ENTRY_VERSION == 0 && APP_ENTRY_PUBLISHER == 1 && APP_ENTRY_URL == 2, "the names' order");

// The files' sizes, each in whole KB, as the list of installed programs shows them (a u32 of
// KB holds 4 TiB).
DWORD EstimatedSizeKB() {
  DWORD kb = 0;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    const FileEntry* entry = walk.entry;
    kb += (entry->size >> KB_SHIFT) + ((entry->size & (KB - 1)) != 0);  // no overflow near 4 GiB
  }
  return kb;
}

// "path,index" of the installed file that gives the icon; nothing for a record outside the
// table or a path that does not resolve.
void SetDisplayIcon(HKEY key) {
  const uint32_t record = AppEntryIconRecord();
  if (record >= EntryCount()) return;
  if (ResolveTargetPath(EntryAt(record)) == TARGET_TOO_LONG) return;
  char icon[PATH_BUFFER_SIZE + ICON_INDEX_TEXT_SIZE];
  wsprintfA(icon, "%s,%d", TargetPath, AppEntryIconIndex());
  SetStringValue(key, "DisplayIcon", icon);
}

// What the setup's entry adds beside the name: its texts and icon, where the application
// lives, its size, and that it is removed, not changed or repaired.
void SetAppEntryValues(HKEY key) {
  for (uint32_t n = 0; n < APP_ENTRY_TEXT_COUNT; ++n) {
    const char* text = AppEntryText(n);
    if (text[0] != '\0') SetStringValue(key, ENTRY_TEXT_NAMES[n], text);
  }
  SetDisplayIcon(key);
  char location[PATH_BUFFER_SIZE];
  CopyPath(location, InstallDir);
  StripBackslash(location);
  SetStringValue(key, "InstallLocation", location);
  SetNumberValue(key, "EstimatedSize", EstimatedSizeKB());
  SetNumberValue(key, "NoModify", 1);
  SetNumberValue(key, "NoRepair", 1);
}

// The application's Uninstall key into keyPath (UNINSTALL_KEY_PATH_SIZE bytes); false when
// the setup names no application or a name longer than a key's.
bool UninstallKeyPath(char* keyPath) {
  if (Archive.appName == nullptr || Archive.appName[0] == '\0') return false;
  const size_t nameLength = std::strlen(Archive.appName);
  if (nameLength > KEY_NAME_MAX) return false;  // no such name is built
  std::memcpy(keyPath, UNINSTALL_KEY_PREFIX, UNINSTALL_KEY_PREFIX_LENGTH);
  std::memcpy(keyPath + UNINSTALL_KEY_PREFIX_LENGTH, Archive.appName, nameLength + 1);
  return true;
}

// Lists the application for removal in the system's list of installed programs. The key is
// made below the opened Uninstall key: a whole path of a long name passes what some systems'
// ANSI calls take (MAX_PATH characters).
void RegisterUninstall(const char* keyPath) {
  HKEY uninstall = nullptr;
  HKEY key = nullptr;
  const char* name = OpenParentKey(keyPath, KEY_ALL_ACCESS, true, &uninstall);
  if (name != nullptr && RegCreateKeyExA(uninstall, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    SetStringValue(key, "DisplayName", Archive.appName);
    SetStringValue(key, "UninstallString", UninstallPath);
    if (HasAppEntry()) SetAppEntryValues(key);
    RegCloseKey(key);
  }
  if (uninstall != nullptr) RegCloseKey(uninstall);
}

// The uninstall program opened for its data. A read-only one is made writable for the
// while: attributes keeps what it had, to be restored (INVALID_FILE_ATTRIBUTES: nothing).
FileHandle OpenForData(DWORD* attributes) {
  *attributes = INVALID_FILE_ATTRIBUTES;
  FileHandle file = FileOpen(UninstallPath, OPEN_READ_WRITE);
  if (file != INVALID_FILE) return file;
  const DWORD error = FileSystemError();
  const DWORD had = GetFileAttributesA(UninstallPath);
  if (had != INVALID_FILE_ATTRIBUTES && (had & FILE_ATTRIBUTE_READONLY) != 0 &&
      SetFileAttributesA(UninstallPath, had & ~DWORD(FILE_ATTRIBUTE_READONLY))) {
    *attributes = had;
    file = FileOpen(UninstallPath, OPEN_READ_WRITE);
  }
  if (file == INVALID_FILE) SetLastError(error);
  return file;
}

// The uninstall data, then the application's entry: an uninstall program that did not
// receive them whole is never registered, and the run fails on it.
void WriteUninstallData() {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  FileHandle file = OpenForData(&attributes);
  if (file == INVALID_FILE) {
    SetInstallError(INSTALL_ERROR_NOT_PLACED, UninstallPath, FileSystemError());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(UninstallPath, attributes);
    return;
  }
  CreatedRecords created;
  if (EntryCount() != 0) MemAlloc(EntryCount() * UNINSTALL_INDEX_FIELD, &created.indexes);
  UninstallWriter writer;
  writer.file = file;
  WriteUninstallFiles(&writer, &created);
  WriteGroupShortcuts(&writer);  // creates the program-group shortcuts
  char keyPath[UNINSTALL_KEY_PATH_SIZE];
  const bool listed = UninstallKeyPath(keyPath);
  if (listed) WriteAppKeyBlock(&writer, keyPath);
  WriteCreatedBlock(&writer, created);
  WriteCountsBlock(&writer);
  WriteUninstallEnd(&writer);
  FileClose(file);
  MemFree(created.indexes);
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(UninstallPath, attributes);
  if (writer.failed) {
    SetInstallError(INSTALL_ERROR_NOT_PLACED, UninstallPath, writer.systemError);
    return;
  }
  if (listed) RegisterUninstall(keyPath);
}

}  // namespace

void FinishInstallation() {
  CloseDataArea();
  if (InstallError == INSTALL_OK) {
    if (UninstallPath[0] == '\0') {
      WriteGroupShortcuts(nullptr);
    } else {
      WriteUninstallData();
    }
  }
  MemFree(EntryMarks);
  InstallRunFinished = true;
  if (Archive.startPage == START_PAGE_ALL && Display.finished != nullptr) Display.finished();
  Archive.DataAreaOpen = false;
}
