// The definitions of the session's path buffers, and the copy into such a buffer.
#include "base/session_paths.h"

#include <cstring>

#include "base/memory.h"

char* SourcePath = nullptr;
char* VolumePath = nullptr;
char* InstallDir = nullptr;
char* TargetPath = nullptr;
char* ScratchPath = nullptr;
char* ErrorPath = nullptr;
char* UninstallPath = nullptr;

namespace {

char** const kPathBuffers[] = {&SourcePath, &VolumePath, &InstallDir, &TargetPath,
                               &ScratchPath, &ErrorPath, &UninstallPath};

}  // namespace

bool AllocateSessionPaths() {
  for (char** buffer : kPathBuffers) {
    if (!MemAllocZero(PATH_BUFFER_SIZE, buffer)) {
      FreeSessionPaths();
      return false;
    }
  }
  return true;
}

void FreeSessionPaths() {
  for (char** buffer : kPathBuffers) MemFree(*buffer);
}
