// Creating the missing directories of a path, as the directory page, the file step and the
// group shortcuts do.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"

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

// The longest installation directory: its trailing backslash must still fit a path buffer.
constexpr uint32_t INSTALL_DIR_MAX_LENGTH = PATH_BUFFER_SIZE - 2;

// InstallDir made absolute and without its trailing backslash (a root keeps it); false when
// it is longer than INSTALL_DIR_MAX_LENGTH. TargetPath is used on the way.
bool MakeInstallDirAbsolute();
