// The check before installing: room on the target drive, existing targets that can be
// written, shared files in use that already match; and the creation of directories.
#pragma once

#include <cstdint>

// Results of CheckTargets: error numbers, each the index of its message.
enum TargetCheck : uint32_t {
  CHECK_OK = 0,
  CHECK_PROTECTED = 9,    // a read-only target cannot be made writable; ErrorPath names it
  CHECK_IN_USE = 10,      // a shared file in use differs from the one to install; ErrorPath
  CHECK_NO_SPACE = 11,    // not enough free space on the drive of InstallDir
};

// Checks every record of the file table against its target under InstallDir. Clears and
// sets ProtectedFilesFound; a font that exists already is no longer removed at uninstall.
TargetCheck CheckTargets();

// Free space of the path's drive in KB (FREE_SPACE_UNKNOWN when it cannot be asked; at most
// FREE_SPACE_MAX_KB), and its cluster size in whole KB (DEFAULT_CLUSTER_KB when unknown).
uint32_t FreeSpaceKB(const char* path);
uint32_t ClusterSizeKB(const char* path);

// Results of CreateDirectories.
enum DirectoryResult : int32_t {
  DIRECTORIES_OK = 0,
  DIRECTORIES_FAILED = 1,
  DIRECTORIES_NO_MEMORY = -1,
};

// Creates the missing directories of a file's path (its last component is the file's name
// and not created; a path ending in a backslash is created whole). The current directory is
// left at the deepest directory tested.
DirectoryResult CreateDirectories(const char* path);
