// What is registered for an installed file (or for an existing one that was kept): the
// shared-file count, the font table, COM self-registration, the screen saver role.
#pragma once

struct FileEntry;
struct HKEY__;  // the system's HKEY is HKEY__*

// The key under HKEY_LOCAL_MACHINE with one count per shared file, named by its path.
constexpr char SHARED_DLLS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Applies the entry's registrations for the file at TargetPath, in this order: the shared
// count raised (and the entry marked ENTRY_MARK_COUNT_RAISED at EntryIndex), the font added (and every window told), the screen saver role, the COM
// server's "DllRegisterServer" called. Failures are silent.
void ApplyRegistrations(FileEntry* entry);

// Loads the library at path and calls its export of that name (a COM server's
// "DllRegisterServer" or "DllUnregisterServer"); nothing when either is missing.
void CallServerExport(const char* path, const char* exportName);

// Opens the key under HKEY_LOCAL_MACHINE that holds the last part of keyPath (at most
// UNINSTALL_KEY_PATH_SIZE bytes), creating it when create; the last part, or null (parent
// then null) when it cannot be had. A whole path of a long name passes what some systems'
// ANSI calls take (MAX_PATH characters), so keys are reached from their parent.
const char* OpenParentKey(const char* keyPath, unsigned long access, bool create, HKEY__** parent);

// Tells every top-level window that the font table changed, without waiting on a hung one.
void AnnounceFontChange();

// The first count of a shared file that was there before without one: its owner's use,
// and this installation's.
constexpr unsigned long SHARED_COUNT_OF_UNCOUNTED_FILE = 2;

// Raises the "SharedDLLs" count of path by one. A file without a count gets 1 (REG_DWORD)
// when this run created it, SHARED_COUNT_OF_UNCOUNTED_FILE when it existedBefore. The key
// is created when it is missing; nothing when that fails. True when the count was written.
bool RaiseSharedCount(const char* path, bool existedBefore);
