// RunQuietInstallation: the steps of the directory page, the progress page and the finish
// page's end, with nobody to ask.
#include "session/quiet_install.h"

#include <windows.h>

#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "engine/check_targets.h"
#include "engine/directories.h"
#include "engine/finish_installation.h"
#include "engine/install_file.h"
#include "engine/install_state.h"
#include "engine/open_data_area.h"

namespace {

// Every question of the file step is declined as Abort declines it: what is neither Yes nor
// Retry nor Ignore keeps an existing newer file or one of another language, and fails the
// run on a file that another program holds.
int AnswerUnattended(uint32_t, uint32_t) { return IDABORT; }

// A volume that is not there is not waited for.
bool GiveUpVolume(uint32_t) { return false; }

// InstallDir absolute, existing (made when missing) and current, with its trailing backslash.
bool PrepareInstallDir() {
  if (!MakeInstallDirAbsolute()) return false;
  AppendBackslash(InstallDir);
  CreateDirectories(InstallDir);
  return SetCurrentDirectoryA(InstallDir) != FALSE;
}

}  // namespace

QuietExit RunQuietInstallation() {
  if (!PrepareInstallDir()) return QUIET_FAILED;
  // Read-only targets are replaced, as the confirmation page's question does by default.
  if (CheckTargets() != CHECK_OK) return QUIET_FAILED;
  Display = {nullptr, nullptr, AnswerUnattended, nullptr};
  if (!OpenDataArea(GiveUpVolume)) return QUIET_FAILED;
  while (InstallNextFile()) {
  }
  FinishInstallation();
  return InstallError == INSTALL_OK ? QUIET_INSTALLED : QUIET_FAILED;
}
