// The file installation step: one record of the file table per call, decoded into a
// temporary file beside its target, verified, moved into place and registered.
#pragma once

#include <cstdint>

struct FileEntry;

// Installs the record at EntryCursor. True when the run goes on; false when the table is
// exhausted or this record failed (InstallError and ErrorPath say why; no temporary file is
// left). Leaves the record's target in TargetPath, names its temporary file in ScratchPath
// while it is written, and copies the target of the record marked FE_UNINSTALLER into
// UninstallPath.
bool InstallNextFile();
