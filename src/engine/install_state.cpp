// The definitions of the installation's state.
#include "engine/install_state.h"

#include "base/session_paths.h"

FileEntry* EntryCursor = nullptr;
uint32_t EntryIndex = ENTRY_INDEX_NONE;
uint32_t InstallError = INSTALL_OK;
InstallDisplay Display = {};
bool ProtectedFilesFound = false;
FileEntry* ScreenSaverEntry = nullptr;
FileEntry* RunAtEndEntry = nullptr;
FileEntry* OpenAtEndEntry = nullptr;
bool RunAtEndChecked = true;

void SetErrorPath(const char* path) { CopyPath(ErrorPath, path); }
