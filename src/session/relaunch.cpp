// Relaunch from a removable disk: the copy holds only the program image; it reads the setup
// archive from the disk through /S and marks its own file for deletion through /DEL.
#include "session/relaunch.h"

#include <windows.h>

#include "base/session_paths.h"
#include "system/program_file.h"

namespace {

constexpr uint32_t DRIVE_ROOT_LENGTH = 3;  // "A:\"
constexpr char RELAUNCH_BEFORE[] = " /S \"";
constexpr char RELAUNCH_AFTER[] = "\" /DEL";

}  // namespace

bool IsOnRemovableDrive(const char* path) {
  // Only a path with a drive letter names a drive; a UNC path ("\\server\...") never does.
  if (path[0] == '\0' || path[1] != ':') return false;
  char root[DRIVE_ROOT_LENGTH + 1] = {path[0], ':', '\\', '\0'};
  return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

bool BuildRelaunchCommandLine(char* out, uint32_t room, const char* copyPath,
                              const char* sourcePath) {
  return BuildCopyCommandLine(out, room, copyPath, RELAUNCH_BEFORE, sourcePath, RELAUNCH_AFTER);
}

bool RelaunchFromRemovableDisk(int showCommand) {
  if (!GetOwnPath(TargetPath) || !IsOnRemovableDrive(TargetPath)) return false;
  return StartTemporaryCopy(showCommand, RELAUNCH_BEFORE, RELAUNCH_AFTER);
}
