// What both programs register with the system and take back again: the shared files'
// counts, keys reached through their parent, COM servers' own registration, the font table.
#pragma once

struct HKEY__;  // the system's HKEY is HKEY__*

// The key under HKEY_LOCAL_MACHINE with one count per shared file, named by its path.
constexpr char SHARED_DLLS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

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
