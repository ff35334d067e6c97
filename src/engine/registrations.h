// What is registered for an installed file (or for an existing one that was kept): the
// shared-file count, the font table, COM self-registration, the screen saver role.
#pragma once

struct FileEntry;

// The key under HKEY_LOCAL_MACHINE with one count per shared file, named by its path.
constexpr char SHARED_DLLS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Applies the entry's registrations for the file at TargetPath, in this order: the shared
// count raised, the font added (and every window told), the screen saver role, the COM
// server's "DllRegisterServer" called. Failures are silent.
void ApplyRegistrations(FileEntry* entry);

// Loads the library at path and calls its export of that name (a COM server's
// "DllRegisterServer" or "DllUnregisterServer"); nothing when either is missing.
void CallServerExport(const char* path, const char* exportName);

// Tells every top-level window that the font table changed, without waiting on a hung one.
void AnnounceFontChange();

// Raises the "SharedDLLs" count of path by one (1, as REG_DWORD, when it has none). Nothing
// when the key does not open: it is not created.
void RaiseSharedCount(const char* path);
