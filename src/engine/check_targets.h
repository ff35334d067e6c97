// The check before installing (CheckTargets): room on the target drive, existing targets
// that can be written, shared files in use that already match; and the drive's free space
// and cluster size that it measures by, which the directory page shows.
#pragma once

#include <cstdint>

#include "engine/install_state.h"

// Results of CheckTargets: the installation's error numbers that the check can find.
enum TargetCheck : uint32_t {
  CHECK_OK = INSTALL_OK,
  CHECK_PROTECTED = INSTALL_ERROR_PROTECTED,  // a read-only target cannot be made writable
  CHECK_IN_USE = INSTALL_ERROR_IN_USE,        // a shared file in use differs; ErrorPath names it
  CHECK_NO_SPACE = INSTALL_ERROR_NO_SPACE,    // not enough free space on the drive of InstallDir
};

// Checks every record of the file table against its target under InstallDir (each in turn
// in TargetPath; ErrorPath names the one a failure is about). Clears and sets
// ProtectedFilesFound; a font that exists already is no longer removed at uninstall.
TargetCheck CheckTargets();

// Free space of the path's drive in KB (FREE_SPACE_UNKNOWN when it cannot be asked; at most
// FREE_SPACE_MAX_KB), and its cluster size in whole KB (DEFAULT_CLUSTER_KB when unknown).
uint32_t FreeSpaceKB(const char* path);
uint32_t ClusterSizeKB(const char* path);

