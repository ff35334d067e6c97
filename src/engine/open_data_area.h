// Opening the data area for an installation run.
#pragma once

#include "archive/data_area.h"

// Resets the run (InstallError 0, the walk before the first record) and opens the data area
// in the program file; prompt is asked for missing volumes. False, with InstallError INSTALL_ERROR_OPEN and
// ErrorPath naming the file, when the program file does not open.
bool OpenDataArea(DiskPrompt prompt);
