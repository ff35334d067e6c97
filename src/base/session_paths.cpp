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

bool CopyPath(char* buffer, const char* text) {
  size_t length = std::strlen(text);
  bool fits = length < PATH_BUFFER_SIZE;
  if (!fits) length = PATH_BUFFER_SIZE - 1;
  std::memmove(buffer, text, length);
  buffer[length] = '\0';
  return fits;
}
