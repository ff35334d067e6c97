// The check over the whole file table before installing, and the drive's free space and
// cluster size.
#include "engine/check_targets.h"

#include <windows.h>

#include "base/file_io.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/replace_target.h"
#include "engine/space_requirement.h"
#include "engine/target_paths.h"

namespace {

// The drive's geometry; the root is "D:\" for a drive path, a UNC path as it is.
bool DriveGeometry(const char* path, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                   DWORD* freeClusters) {
  char root[PATH_BUFFER_SIZE];
  CopyPath(root, path);
  if (!(root[0] == '\\' && root[1] == '\\') && root[0] != '\0' && root[1] == ':') {
    root[2] = '\\';
    root[3] = '\0';
  }
  DWORD totalClusters = 0;
  return GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters,
                           &totalClusters) != FALSE;
}

// Whether an existing read-only (or unreadable) target can be made writable; its read-only
// attribute is put back afterwards. Sets ProtectedFilesFound for such a file.
bool CanWrite(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  const bool unreadable = attributes == INVALID_FILE_ATTRIBUTES;
  const bool readOnly = !unreadable && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (!unreadable && !readOnly) return true;
  ProtectedFilesFound = true;
  const DWORD writable = unreadable ? FILE_ATTRIBUTE_NORMAL
                                    : attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(path, writable);
  const DWORD tested = GetFileAttributesA(path);
  const bool canWrite = tested != INVALID_FILE_ATTRIBUTES && (tested & FILE_ATTRIBUTE_READONLY) == 0;
  if (readOnly) SetFileAttributesA(path, attributes);
  return canWrite;
}

}  // namespace

uint32_t FreeSpaceKB(const char* path) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0;
  if (!DriveGeometry(path, &sectorsPerCluster, &bytesPerSector, &freeClusters)) {
    return FREE_SPACE_UNKNOWN;
  }
  return FreeKBFromGeometry(bytesPerSector, sectorsPerCluster, freeClusters);
}

uint32_t ClusterSizeKB(const char* path) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0;
  if (!DriveGeometry(path, &sectorsPerCluster, &bytesPerSector, &freeClusters)) {
    return DEFAULT_CLUSTER_KB;
  }
  return ClusterKBFromGeometry(bytesPerSector, sectorsPerCluster);
}

TargetCheck CheckTargets() {
  const uint32_t freeKB = FreeSpaceKB(InstallDir);
  SpaceRequirement requirement(ClusterSizeKB(InstallDir));
  ProtectedFilesFound = false;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    FileEntry* entry = walk.entry;
    const bool inUse = ResolveTargetPath(entry) == TARGET_IN_USE;
    requirement.CountLargest(entry->size);
    if (EntryInstallMode(entry) == MODE_EXTERNAL) continue;
    FileHandle existing = TargetPath[0] != '\0' ? FileOpen(TargetPath, OPEN_READ) : INVALID_FILE;
    if (existing == INVALID_FILE) {
      requirement.AddNewFile(entry->size);
      continue;
    }
    requirement.AddReplacedFile(entry->size, FileSize(existing));
    FileClose(existing);
    if (EntryDirCode(entry) == DIR_FONTS) {
      // A font that was there before stays when the application is removed.
      if (entry->installMode == MODE_REMOVE) entry->installMode = MODE_KEEP;
      continue;
    }
    if (inUse && !ExistingFileMatches(entry, TargetPath)) {
      SetErrorPath(TargetPath);
      return CHECK_IN_USE;
    }
    if (!CanWrite(TargetPath)) {
      SetErrorPath(TargetPath);
      return CHECK_PROTECTED;
    }
  }
  return requirement.FitsIn(freeKB) ? CHECK_OK : CHECK_NO_SPACE;
}
