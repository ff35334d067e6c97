// Opening the data area for an installation run.
#pragma once

#include "archive/data_area.h"

// Error number when the program file cannot be opened for its data.
constexpr uint32_t ERROR_DATA_AREA = 16;

// Resets the run (InstallError 0, the walk before the first record) and opens the data area
// in the program file; prompt is asked for missing volumes. False, with InstallError 16 and
// ErrorPath naming the file, when the program file does not open.
bool OpenDataArea(DiskPrompt prompt);
