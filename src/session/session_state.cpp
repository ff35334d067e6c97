// The definitions of the session's global state.
#include "session/session.h"

#include <cstring>

#include "archive/archive_format.h"
#include "archive/memory.h"

char* SourcePath = nullptr;
char* VolumePath = nullptr;
char* InstallDir = nullptr;
char* TargetPath = nullptr;
char* ScratchPath = nullptr;
char* ErrorPath = nullptr;
char* UninstallPath = nullptr;

bool DeleteSelfFlag = false;
int ScreenWidth = 0;
int ScreenHeight = 0;

int PageIndex = 0;
int PageResult = 0;

FileEntry* ScreenSaverEntry = nullptr;
FileEntry* RunAtEndEntry = nullptr;
FileEntry* OpenAtEndEntry = nullptr;
bool RunAtEndChecked = true;

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
