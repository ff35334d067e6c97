// Session state: the global state of one run of the program, from start-up to exit.
#pragma once

#include <cstdint>

struct FileEntry;

// The seven path buffers, PATH_BUFFER_SIZE bytes each, zero-filled while allocated.
extern char* SourcePath;     // file that holds the setup archive
extern char* VolumePath;     // volume being read
extern char* InstallDir;     // installation directory
extern char* TargetPath;     // file being worked on; the program's own path at start
extern char* ScratchPath;    // scratch path
extern char* ErrorPath;      // path named by error messages
extern char* UninstallPath;  // path of the uninstall program

extern bool DeleteSelfFlag;  // set by /DEL: mark the program's own file for deletion
extern int ScreenWidth;
extern int ScreenHeight;

// Page loop: PageIndex is the page shown next (-1 ends the loop); PageResult is the open
// page's result, 0 while it is open.
extern int PageIndex;
extern int PageResult;

// After-wizard actions, set during installation and cleared by a failure or an abort.
extern FileEntry* ScreenSaverEntry;
extern FileEntry* RunAtEndEntry;
extern FileEntry* OpenAtEndEntry;
extern bool RunAtEndChecked;

// Allocates the seven path buffers zero-filled; false when memory ran out (then none is held).
bool AllocateSessionPaths();
void FreeSessionPaths();

// Copies text into a PATH_BUFFER_SIZE buffer; a longer text is cut so that the buffer
// stays terminated. Returns false when it had to cut.
bool CopyPath(char* buffer, const char* text);
