// What an installation leaves on the machine, read back by the Windows tests: the system's
// folders, the shared counts, registry values and where a shortcut points.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace test_setups {

// A folder of the shell (CSIDL_...), the Windows, System and Fonts folders.
std::string ShellFolder(int csidl);
std::string WindowsFolder();
std::string SystemFolder();
std::string FontsFolder();

// The file's count under SharedDLLs, 0 when it has none.
DWORD SharedCount(const std::string& path);

// A string value under HKEY_LOCAL_MACHINE\key, empty when there is none.
std::string MachineString(const std::string& key, const char* name);
// A REG_DWORD value under HKEY_LOCAL_MACHINE\key, missing when there is none.
DWORD MachineNumber(const std::string& key, const char* name, DWORD missing);
// The names of the values under HKEY_LOCAL_MACHINE\key, in the registry's order.
std::vector<std::string> MachineValueNames(const std::string& key);
bool MachineKeyExists(const std::string& key);
void DeleteMachineKey(const std::string& key);

// The path a saved shortcut points at, as the shell reads it back; empty when it cannot.
// OLE must be initialised.
std::string LinkTarget(const std::string& file);

// Whether a file or folder is there.
bool Exists(const std::string& path);

}  // namespace test_setups
