// What is registered for an installed file (or for an existing one that was kept): the
// shared-file count, the font table, COM self-registration, the screen saver role.
#pragma once

#include "system/system_registry.h"  // SHARED_DLLS_KEY, which the tests take from here

struct FileEntry;

// Applies the entry's registrations for the file at TargetPath, in this order: the shared
// count raised (and the entry marked ENTRY_MARK_COUNT_RAISED at EntryIndex), the font added (and every window told), the screen saver role, the COM
// server's "DllRegisterServer" called. Failures are silent.
void ApplyRegistrations(FileEntry* entry);

// The first count of a shared file that was there before without one: its owner's use,
// and this installation's.
constexpr unsigned long SHARED_COUNT_OF_UNCOUNTED_FILE = 2;

// Raises the "SharedDLLs" count of path by one. A file without a count gets 1 (REG_DWORD)
// when this run created it, SHARED_COUNT_OF_UNCOUNTED_FILE when it existedBefore. The key
// is created when it is missing; nothing when that fails. True when the count was written.
bool RaiseSharedCount(const char* path, bool existedBefore);
