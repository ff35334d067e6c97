// What both programs register with the system and take back again.
#include "system/system_registry.h"

#include <windows.h>

#include <cstring>

#include "archive/archive_format.h"

namespace {

// Windows that do not answer the font change within this time are not waited for.
constexpr UINT FONT_CHANGE_TIMEOUT_MS = 2000;

}  // namespace

void AnnounceFontChange() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG,
                      FONT_CHANGE_TIMEOUT_MS, &ignored);
}

void CallServerExport(const char* path, const char* exportName) {
  HMODULE library = LoadLibraryA(path);
  if (library == nullptr) return;
  using ServerExport = HRESULT(WINAPI*)();
  const ServerExport call =
      reinterpret_cast<ServerExport>(reinterpret_cast<void*>(GetProcAddress(library, exportName)));
  if (call != nullptr) call();
  FreeLibrary(library);
}

const char* OpenParentKey(const char* keyPath, unsigned long access, bool create, HKEY* parent) {
  *parent = nullptr;
  char path[UNINSTALL_KEY_PATH_SIZE];
  const char* last = std::strrchr(keyPath, '\\');
  const size_t length = last == nullptr ? 0 : size_t(last - keyPath);
  if (last == nullptr || length >= sizeof path) return nullptr;
  std::memcpy(path, keyPath, length);
  path[length] = '\0';
  const LONG opened = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                               nullptr, parent, nullptr)
                             : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, parent);
  if (opened == ERROR_SUCCESS) return last + 1;
  *parent = nullptr;
  return nullptr;
}
