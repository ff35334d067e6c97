// Where things go: the target path of a file record, and the default installation
// directory, resolved once at start-up from the registry, an INI file or a "#" macro.
#pragma once

#include <cstdint>

struct FileEntry;

// Results of ResolveTargetPath.
enum TargetResult : uint32_t {
  TARGET_RESOLVED = 0,
  TARGET_IN_USE = 1,    // a DIR_SYSTEM file that the system reports in use; TargetPath names it
  TARGET_TOO_LONG = 2,  // the path would outgrow its buffer; TargetPath is left empty
};

// Writes the entry's target path into TargetPath: beside the setup program for an external
// file, else its directory (InstallDir, the Windows directory, the place the system's version
// library proposes for a shared file, the Fonts folder), a backslash and its name.
TargetResult ResolveTargetPath(const FileEntry* entry);

