// InstallNextFile: the steps of one record in order. The data area is read strictly in
// sequence, so every record with data has its stream consumed, written or not.
#include "engine/install_file.h"

#include <windows.h>

#include "archive/data_area.h"
#include "archive/file_checksum.h"
#include "archive/setup_archive.h"
#include "base/file_io.h"
#include "base/session_paths.h"
#include "codec/decoder.h"
#include "engine/directories.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/registrations.h"
#include "engine/replace_target.h"
#include "engine/shortcuts.h"
#include "engine/target_paths.h"
#include "system/shell_folders.h"

namespace {

constexpr uint32_t PERCENT = 100;

// floor(100 done / count) for 1 <= done <= count, in 32-bit arithmetic (the program carries
// no 64-bit division). Past UINT32_MAX / 100 entries, done / floor(count / 100): at most
// 100 at done = count and never falling.
uint32_t PercentDone(uint32_t done, uint32_t count) {
  if (count <= UINT32_MAX / PERCENT) return done * PERCENT / count;
  return done / (count / PERCENT);
}

// Ends the step with error number (and the system's reason, when not 0): the temporary
// file, when there is one, is deleted. 0, for the false of the step (an int keeps the
// program's code a little smaller than a bool here).
int Fail(uint32_t number, const char* path, uint32_t reason = 0) {
  SetInstallError(number, path, reason);
  if (ScratchPath[0] != '\0') DeleteFileA(ScratchPath);
  ScratchPath[0] = '\0';
  return 0;
}

// Decodes the record's stream into a temporary file, verifies it and moves it into place;
// false and InstallError on failure. The uninstall program is verified like every
// file: a damaged one would be registered as the way to remove the application.
bool WriteTargetFile(FileEntry* entry) {
  CreateDirectories(TargetPath);
  // ScratchPath names the temporary file only once it is ours: Fail deletes it.
  char temporary[PATH_BUFFER_SIZE];
  bool taken = false;
  FileHandle file = CreateTemporaryFile(temporary, &taken);
  if (file == INVALID_FILE) {
    return Fail(INSTALL_ERROR_CREATE, temporary, taken ? 0 : FileSystemError());
  }
  CopyPath(ScratchPath, temporary);
  // A write that fails (a full disk) is told as such; a stream that decodes short or
  // broken shows in the checksum.
  WriteFailure failure;
  DecodeToFile(file, Archive.volumeFile, entry->packedSize, RefillInput, &failure);
  FileClose(file);
  if (failure.status != FILE_OK) return Fail(INSTALL_ERROR_CREATE, ScratchPath, failure.systemError);
  FileHandle written = FileOpen(ScratchPath, OPEN_READ);
  if (written == INVALID_FILE) return Fail(INSTALL_ERROR_OPEN, ScratchPath, FileSystemError());
  const uint32_t checksum = FileChecksum(written);
  FileClose(written);
  if (checksum != entry->checksum) return Fail(INSTALL_ERROR_CHECKSUM, TargetPath);
  ReplaceTarget(entry, ScratchPath);
  ScratchPath[0] = '\0';  // renamed or deleted by now
  if (entry->status == STATUS_NOT_PLACED) return Fail(INSTALL_ERROR_NOT_PLACED, TargetPath);
  RemoveStaleTemporaries(temporary);
  return true;
}

// The roles after the wizard, and the desktop shortcut; for external files too.
void ApplyRoles(FileEntry* entry) {
  if (entry->endAction == END_OPEN) OpenAtEndEntry = entry;
  if (entry->endAction == END_RUN) RunAtEndEntry = entry;
  const char* desktop = EntryString(entry, ENTRY_DESKTOP_SHORTCUT);
  char link[PATH_BUFFER_SIZE];
  if (desktop[0] != '\0' && DesktopShortcutPath(desktop, link) &&
      SUCCEEDED(CreateShortcut(TargetPath, link, EntryString(entry, ENTRY_DESKTOP_ARGUMENTS), 0))) {
    MarkEntry(EntryIndex, ENTRY_MARK_DESKTOP_LINK);  // only a saved link is recorded
  }
}

}  // namespace

bool InstallNextFile() {
  FileEntry* entry = TakeNextEntry();
  if (entry == nullptr) return false;
  entry->status = STATUS_NONE;
  ScratchPath[0] = '\0';
  const TargetResult target = ResolveTargetPath(entry);
  if (Display.showCurrentFile != nullptr) Display.showCurrentFile(TargetPath);
  if ((entry->flags & FE_UNINSTALLER) != 0) CopyPath(UninstallPath, TargetPath);
  const uint32_t percent = PercentDone(EntryIndex + 1, EntryCount());
  if (EntryInstallMode(entry) != MODE_EXTERNAL) {
    // A target too long for the path buffers cannot be written: reported by its name.
    if (target == TARGET_TOO_LONG) return Fail(INSTALL_ERROR_CREATE, EntryString(entry, ENTRY_NAME));
    bool write = true;
    if (target == TARGET_IN_USE) {
      // The identical file in use stays; a different one cannot be replaced now.
      if (!ExistingFileMatches(entry, TargetPath)) {
        return Fail(INSTALL_ERROR_IN_USE, TargetPath);
      }
      write = false;
    }
    if (write && HasVersionBlock(entry)) write = CheckVersion(entry);
    InstallError = INSTALL_OK;
    if (write) {
      if (!WriteTargetFile(entry)) return false;
    } else {
      DecodeToFile(INVALID_FILE, Archive.volumeFile, entry->packedSize, RefillInput);
    }
    if ((entry->flags & FE_UNINSTALLER) != 0) entry->status = STATUS_NONE;
    ApplyRegistrations(entry);
  }
  ApplyRoles(entry);
  if (Display.setProgress != nullptr) Display.setProgress(percent);
  return true;
}
