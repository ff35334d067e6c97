// What the uninstall program says: its texts from its own archive, asked and told in
// message boxes, none of them in a silent run.
#pragma once

#include "uninstall/removal.h"

// The confirmation asked once before anything is removed; always yes in a silent run.
bool ConfirmRemoval();

// Asked when a shared file's count reached 0 (keep is the default answer); always yes in a
// silent run, where a file no program counts goes.
bool AskRemoveSharedFile(const char* path);

// The outcome of a run, and its exit code: everything removed, what goes at the next start,
// or what could not be removed.
int ReportResult(const RemovalReport& report);

// The data are missing or damaged: nothing was removed.
int ReportNothingRemoved();
