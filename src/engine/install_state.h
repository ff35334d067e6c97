// The installation's state: the walk over the file table, the run's error, what the disk
// check found, and what is started after the last page.
#pragma once

#include <cstdint>

struct FileEntry;

// The walk of the installation run (reset when the data area opens).
constexpr uint32_t ENTRY_INDEX_NONE = 0xFFFFFFFFu;  // before the first step
extern FileEntry* EntryCursor;  // the record that the next file step takes
extern uint32_t EntryIndex;     // index of the record being installed

// The run's error: 0, or the index of its message in the message list; ErrorPath names
// the file where the message has a %s.
extern uint32_t InstallError;

// Set by CheckTargets when an existing target had the read-only attribute.
extern bool ProtectedFilesFound;

// After-wizard actions, set during installation and cleared by a failure or an abort.
extern FileEntry* ScreenSaverEntry;
extern FileEntry* RunAtEndEntry;
extern FileEntry* OpenAtEndEntry;
extern bool RunAtEndChecked;  // the user's consent to start RunAtEndEntry; initially true

// Sets ErrorPath to path (cut to its buffer).
void SetErrorPath(const char* path);
