// The seven path buffers of the session, PATH_BUFFER_SIZE bytes each and zero-filled while
// allocated. Every layer works on them; each is listed here with who writes it and who reads
// it, and a function that reads or writes one that it is not handed says so in its header.
#pragma once

#include "base/path_buffer.h"

// The file that holds the setup archive. Written at start: the program's own path
// (session/entry.cpp), or the path of the /S switch (session/command_line.cpp). Read by the
// archive's loader and data area (the first volume), ResolveTargetPath (an external file
// goes beside it), the program's temporary copy (system/program_file.cpp) and the finish
// page. In the uninstall program: its own path, or the original's that its temporary copy
// is given (uninstall/uninstall_entry.cpp, uninstall_state.cpp), read there.
extern char* SourcePath;
// The volume file being read: written by the archive's loader and data area (SourcePath,
// then each next volume), which read it; named by OpenDataArea when it cannot be opened.
extern char* VolumePath;
// The installation directory. Written by the archive's loader (the setup's default),
// ResolveDefaultDir, the /D switch (session/command_line.cpp), the directory page and
// MakeInstallDirAbsolute; the directory page and the quiet installation leave it with its
// trailing backslash before the files are installed, as WriteUninstallFiles does again.
// Read by ResolveTargetPath, CheckTargets, the uninstall data and FinishInstallation, and
// shown by the directory and confirmation pages. In the uninstall program: the folder of
// SourcePath (uninstall/uninstall_entry.cpp), below which the relative records lie.
extern char* InstallDir;
// The file being worked on: written by ResolveTargetPath (engine/target_paths.cpp) for a
// record, and read by whoever asked for it (the file step and its registrations and
// replacement, CheckTargets, the uninstall data, what follows the wizard). Also where a
// path is put together for a moment: MakeInstallDirAbsolute, the program's own path
// (session/relaunch.cpp, system/self_delete.cpp, uninstall/uninstall_entry.cpp), the
// desktop shortcut's file record.
extern char* TargetPath;
// A scratch path: the file step's temporary file (engine/install_file.cpp), the program's
// temporary copy (system/program_file.cpp), the default of an INI lookup
// (engine/default_dir.cpp), the directory of a relative uninstall file record.
extern char* ScratchPath;
// The path that the error messages name: written by SetErrorPath and SetInstallError
// (engine/install_state.h), read by the wizard's message boxes (wizard/messages.cpp).
extern char* ErrorPath;
// The installed uninstall program: written by the file step for the record marked
// FE_UNINSTALLER (engine/install_file.cpp); read by FinishInstallation, which writes the
// uninstall data into it and registers it, and by WriteUninstallFiles.
extern char* UninstallPath;

// Allocates the seven buffers zero-filled; false when memory ran out (then none is held).
bool AllocateSessionPaths();
void FreeSessionPaths();
