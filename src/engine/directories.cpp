// Creating the missing directories of a path, one component after the other.
#include <windows.h>

#include <cstring>

#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "engine/directories.h"

namespace {

// Makes directory the current one, creating it when it does not exist yet.
bool EnterOrCreate(const char* directory) {
  if (SetCurrentDirectoryA(directory)) return true;
  return CreateDirectoryA(directory, nullptr) && SetCurrentDirectoryA(directory);
}

}  // namespace

DirectoryResult CreateDirectories(const char* path) {
  // The directories: the path up to and with its last backslash (all of it without one).
  char directories[PATH_BUFFER_SIZE];
  if (!CopyPath(directories, path)) return DIRECTORIES_FAILED;
  char* lastBackslash = std::strrchr(directories, '\\');
  if (lastBackslash != nullptr) lastBackslash[1] = '\0';
  // Most files go where an earlier one went: a directory that exists is entered at once,
  // without opening each of its parents again.
  if (SetCurrentDirectoryA(directories)) return DIRECTORIES_OK;
  char work[PATH_BUFFER_SIZE];  // each use below writes it first
  bool failed = false;
  // The walk over the components begins behind the root.
  const char* stop = std::strchr(directories + PathRootLength(directories), '\\');
  if (stop == nullptr) {
    CopyPath(work, directories);
    StripBackslash(work);
    failed = !EnterOrCreate(work);
  }
  // Each stop ends one more directory of the path: the text up to it is created in turn.
  for (; stop != nullptr && !failed; stop = std::strchr(stop + 1, '\\')) {
    const size_t length = size_t(stop - directories);
    std::memcpy(work, directories, length);
    work[length] = '\0';
    failed = !EnterOrCreate(work);
  }
  return failed ? DIRECTORIES_FAILED : DIRECTORIES_OK;
}

bool MakeInstallDirAbsolute() {
  StripBackslash(InstallDir);
  char* filePart = nullptr;
  const DWORD length = GetFullPathNameA(InstallDir, PATH_BUFFER_SIZE, TargetPath, &filePart);
  if (length != 0 && length < PATH_BUFFER_SIZE) CopyPath(InstallDir, TargetPath);
  return std::strlen(InstallDir) <= INSTALL_DIR_MAX_LENGTH;
}
