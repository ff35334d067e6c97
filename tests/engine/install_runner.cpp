// A whole installation run in a process of its own, so that a test can interrupt it:
// install_runner SETUP DIRECTORY installs the setup file's data (behind a fake program image
// of the test support's size) into DIRECTORY and exits with the run's error number.
#include <windows.h>

#include <cstdio>

#include "archive/setup_archive.h"
#include "base/session_paths.h"
#include "engine/finish_installation.h"
#include "engine/install_file.h"
#include "engine/install_state.h"
#include "engine/open_data_area.h"
#include "support/fake_image.h"

int main(int argc, char** argv) {
  constexpr int USAGE = 100;
  constexpr int NOT_LOADED = 101;
  if (argc != 3 || !AllocateSessionPaths()) return USAGE;
  CopyPath(SourcePath, argv[1]);
  CopyPath(InstallDir, argv[2]);  // given without its backslash, which would escape a quote
  AppendBackslash(InstallDir);
  SetImageSize(test_support::FAKE_IMAGE_SIZE);
  if (!LoadSetupArchive()) return NOT_LOADED;
  if (OpenDataArea(nullptr)) {
    while (InstallNextFile()) {
    }
    FinishInstallation();
  }
  return int(InstallError);
}
