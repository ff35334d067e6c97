// The uninstall program's entry. Started from the installation directory, it reads the data
// that the setups appended to its own file, asks once, removes what they list and tells the
// outcome; then a copy of it in the temporary directory, started with /DEL, removes this
// program and the emptied installation directory once this process has ended. /S runs
// without windows; the exit code tells the outcome (uninstall/uninstall.h).
#include <windows.h>

#include <cstring>

#include "archive/setup_archive.h"
#include "base/file_io.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "system/program_file.h"
#include "system/self_delete.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_messages.h"

namespace {

// The copy's command line behind its own path: /DEL and this program's path.
constexpr char COPY_BEFORE[] = " /DEL \"";
constexpr char COPY_AFTER_FORMAT[] = "\" /P%lu";  // and this process's id
constexpr uint32_t COPY_AFTER_SIZE = sizeof("\" /P4294967295");
// The copy's quoted path, both parts and the terminator.
static_assert(2 + (sizeof(COPY_BEFORE) - 1) + (COPY_AFTER_SIZE - 1) + 1 <= COPY_SWITCHES_ROOM,
              "the copy's command line fits its buffer");
constexpr DWORD ORIGINAL_END_WAIT_MS = 30000;
// The original may still be ending when its copy starts: it is tried this often, this far
// apart, before it is left to the next start.
constexpr int ORIGINAL_DELETE_ATTEMPTS = 50;
constexpr DWORD ORIGINAL_DELETE_PAUSE_MS = 100;

// The archive behind the program image of SourcePath, in a fresh block; null when the
// file holds none or cannot be read.
uint8_t* LoadOwnArchive(uint32_t* size) {
  FileHandle file = FileOpen(SourcePath, OPEN_READ);
  if (file == INVALID_FILE) return nullptr;
  uint8_t* bytes = nullptr;
  const uint32_t fileSize = FileSize(file);
  const uint32_t start = ImageSize();
  if (start != 0 && fileSize != FILE_BAD_POSITION && start < fileSize) {
    *size = fileSize - start;
    if (FileSeek(file, start) != start || !MemAlloc(*size, &bytes) || FileRead(file, bytes, *size) != FILE_OK) {
      MemFree(bytes);
    }
  }
  FileClose(file);
  return bytes;
}

// InstallDir: the folder of SourcePath, with its trailing backslash.
void SetInstallDirFromOwnPath() {
  CopyPath(InstallDir, SourcePath);
  char* last = std::strrchr(InstallDir, '\\');
  if (last != nullptr) last[1] = '\0';
}

int Uninstall() {
  if (!GetOwnPath(SourcePath)) return ReportNothingRemoved();
  SetInstallDirFromOwnPath();
  uint32_t size = 0;
  uint8_t* archive = LoadOwnArchive(&size);
  int exitCode = EXIT_NOTHING_REMOVED;
  if (archive == nullptr || ReadRemovalList(archive, size, &Removal) != REMOVAL_LIST_OK ||
      !AllPathsFit(Removal, InstallDir) || !IsWhatASetupWrites(Removal, SourcePath)) {
    exitCode = ReportNothingRemoved();
  } else if (!ConfirmRemoval()) {
    exitCode = EXIT_DECLINED;
  } else {
    RemovalReport report;
    RemoveEverything(Removal, InstallDir, AskRemoveSharedFile, &report);
    exitCode = ReportResult(report);
    char after[COPY_AFTER_SIZE];
    wsprintfA(after, COPY_AFTER_FORMAT, GetCurrentProcessId());
    StartTemporaryCopy(SW_HIDE, COPY_BEFORE, after);
  }
  FreeRemovalList(&Removal);
  MemFree(archive);
  return exitCode;
}

// Whether the file at path begins with this program's image: the only file a copy removes
// is the uninstall program it was copied from.
bool IsOriginalOfThisCopy(const char* path) {
  const uint32_t size = ImageSize();
  uint8_t* own = nullptr;
  uint8_t* other = nullptr;
  bool same = false;
  FileHandle ownFile = GetOwnPath(TargetPath) ? FileOpen(TargetPath, OPEN_READ) : INVALID_FILE;
  FileHandle otherFile = FileOpen(path, OPEN_READ);
  if (size != 0 && ownFile != INVALID_FILE && otherFile != INVALID_FILE && MemAlloc(size, &own) &&
      MemAlloc(size, &other) && FileRead(ownFile, own, size) == FILE_OK &&
      FileRead(otherFile, other, size) == FILE_OK) {
    same = std::memcmp(own, other, size) == 0;
  }
  if (ownFile != INVALID_FILE) FileClose(ownFile);
  if (otherFile != INVALID_FILE) FileClose(otherFile);
  MemFree(own);
  MemFree(other);
  return same;
}

// The temporary copy's work: this copy goes at the next start; the original (SourcePath)
// and its folder, when nothing else is left in it, go now.
int RemoveOriginal() {
  ScheduleSelfDeletion();
  if (!IsOriginalOfThisCopy(SourcePath)) return EXIT_NOT_ALL_REMOVED;
  // The original's image cannot go before its process has ended.
  if (OriginalProcessId != 0) {
    HANDLE original = OpenProcess(SYNCHRONIZE, FALSE, OriginalProcessId);
    if (original != nullptr) {
      WaitForSingleObject(original, ORIGINAL_END_WAIT_MS);
      CloseHandle(original);
    }
  }
  bool deleted = false;
  for (int attempt = 0; attempt < ORIGINAL_DELETE_ATTEMPTS && !deleted; ++attempt) {
    if (attempt != 0) Sleep(ORIGINAL_DELETE_PAUSE_MS);
    deleted = DeleteFileA(SourcePath) != FALSE;
  }
  if (!deleted) return ScheduleDeletionAtRestart(SourcePath) ? EXIT_DONE_AT_RESTART : EXIT_NOT_ALL_REMOVED;
  char* last = std::strrchr(SourcePath, '\\');
  if (last != nullptr) *last = '\0';
  RemoveDirectoryA(SourcePath);
  return EXIT_DONE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (!AllocateSessionPaths()) return EXIT_NOT_ALL_REMOVED;
  ParseUninstallCommandLine(commandLine);
  const int exitCode = RemovingOriginal ? RemoveOriginal() : Uninstall();
  FreeSessionPaths();
  return exitCode;
}
