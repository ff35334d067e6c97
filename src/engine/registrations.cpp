// Registrations of installed files.
#include "engine/registrations.h"

#include <windows.h>

#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "system/system_registry.h"

namespace {

void AddFont(const char* path) {
  if (AddFontResourceA(path) != 0) AnnounceFontChange();
}

}  // namespace

bool RaiseSharedCount(const char* path, bool existedBefore) {
  // Every Windows has the key; where it is missing it is made, so that the count recorded
  // for the uninstall program is really there.
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  DWORD count = 0;
  DWORD type = REG_DWORD;
  DWORD size = sizeof count;
  if (RegQueryValueExA(key, path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) ==
          ERROR_SUCCESS && size == sizeof count) {
    ++count;  // the value keeps the type it had
  } else {
    // A file that was there without a count belongs to someone who did not count it: that
    // use counts once, so that removing this installation leaves the file.
    count = existedBefore ? SHARED_COUNT_OF_UNCOUNTED_FILE : 1;
    type = REG_DWORD;
  }
  const bool raised =
      RegSetValueExA(key, path, 0, type, reinterpret_cast<const BYTE*>(&count), sizeof count) == ERROR_SUCCESS;
  RegCloseKey(key);
  return raised;
}

void ApplyRegistrations(FileEntry* entry) {
  const DirCode dirCode = EntryDirCode(entry);
  if (dirCode != DIR_INSTALL && entry->shared == 1 && RaiseSharedCount(TargetPath, entry->status != STATUS_CREATED)) {
    MarkEntry(EntryIndex, ENTRY_MARK_COUNT_RAISED);  // the uninstall data lower it again
  }
  if (dirCode == DIR_FONTS) AddFont(TargetPath);
  if (entry->registration == REGISTER_SCREEN_SAVER) ScreenSaverEntry = entry;
  if (entry->registration == REGISTER_COM_SERVER) CallServerExport(TargetPath, "DllRegisterServer");
}
