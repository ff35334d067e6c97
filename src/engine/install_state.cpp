// The definitions of the installation's state.
#include "engine/install_state.h"

#include "base/session_paths.h"
#include "engine/file_table.h"

FileEntry* EntryCursor = nullptr;
uint32_t EntryIndex = ENTRY_INDEX_NONE;
uint32_t InstallError = INSTALL_OK;
uint32_t InstallErrorReason = 0;
bool InstallRunFinished = false;
uint8_t* EntryMarks = nullptr;
InstallDisplay Display = {};
bool ProtectedFilesFound = false;
FileEntry* ScreenSaverEntry = nullptr;
FileEntry* RunAtEndEntry = nullptr;
FileEntry* OpenAtEndEntry = nullptr;
bool RunAtEndChecked = true;

FileEntry* TakeNextEntry() {
  ++EntryIndex;  // from ENTRY_INDEX_NONE this gives 0
  if (EntryIndex >= EntryCount()) return nullptr;
  FileEntry* entry = EntryCursor;
  EntryCursor = NextEntry(entry);
  return entry;
}

void SetErrorPath(const char* path) { CopyPath(ErrorPath, path); }

void ClearAfterWizardActions() {
  OpenAtEndEntry = nullptr;
  RunAtEndEntry = nullptr;
  ScreenSaverEntry = nullptr;
}

void SetInstallError(uint32_t number, const char* path, uint32_t reason) {
  InstallError = number;
  InstallErrorReason = reason;
  SetErrorPath(path);
}

void MarkEntry(uint32_t index, uint8_t mark) {
  if (EntryMarks != nullptr && index < EntryCount()) EntryMarks[index] |= mark;
}

bool EntryMarked(uint32_t index, uint8_t mark) {
  return EntryMarks != nullptr && index < EntryCount() && (EntryMarks[index] & mark) != 0;
}
