// The end of an installation run: the uninstall data, the program-group shortcuts, the
// application's entry in the system's list of installed programs, and the finish page.
#pragma once

#include "archive/archive_format.h"  // UNINSTALL_KEY_PREFIX, which tests and the uninstall program take from here

// Called once per run after the last file step. A run that failed writes nothing more.
// Writes the uninstall data into the program that UninstallPath names (with none, only the
// group shortcuts are made) and lists the application with InstallDir as its location;
// TargetPath is used on the way.
void FinishInstallation();
