// The seven path buffers of the session, PATH_BUFFER_SIZE bytes each and zero-filled while
// allocated. Every layer works on them: the archive reads the setup file named by
// SourcePath, the engine builds targets in TargetPath, the wizard shows InstallDir.
#pragma once

#include "base/path_buffer.h"

extern char* SourcePath;     // file that holds the setup archive
extern char* VolumePath;     // volume being read
extern char* InstallDir;     // installation directory
extern char* TargetPath;     // file being worked on; the program's own path at start
extern char* ScratchPath;    // scratch path
extern char* ErrorPath;      // path named by error messages
extern char* UninstallPath;  // path of the uninstall program

// Allocates the seven buffers zero-filled; false when memory ran out (then none is held).
bool AllocateSessionPaths();
void FreeSessionPaths();
