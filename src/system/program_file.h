// The program's own file and its temporary copies in the temporary directory, which both
// programs start: the setup's from a removable disk, the uninstall program's to remove it.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"

// Room for a temporary copy's command line: the copy's path, possibly quoted, the source
// path, the switches around it and the terminator. The setup's ` /S "<source path>" /DEL`
// takes 2 + 5 + 6 + 1 = 14 bytes besides the paths; the uninstall program's
// ` /DEL "<source path>" /P<process id>` 2 + 7 + 14 + 1 = 24.
constexpr uint32_t COPY_SWITCHES_ROOM = 24;
constexpr uint32_t RELAUNCH_COMMAND_SIZE = 2 * PATH_BUFFER_SIZE + COPY_SWITCHES_ROOM;

// Attempts of "_inst<n>.exe" names in the temporary directory, n = 0 to 998.
constexpr int TEMP_COPY_ATTEMPTS = 999;

// The program's own file path into a PATH_BUFFER_SIZE buffer; false (buffer emptied) when
// the system cannot tell it or it does not fit.
bool GetOwnPath(char* buffer);

// Copies the program image (the first ImageSize bytes of SourcePath) into a new
// "_inst<n>.exe" in the temporary directory and starts it with showCommand and the command
// line `<copy> <before><SourcePath><after>`. True when the copy was started; false when it
// could not be made or started (an unusable copy is deleted).
bool StartTemporaryCopy(int showCommand, const char* before, const char* after);

// `<copyPath><before><sourcePath><after>` into out, the copy's path quoted only when it holds
// a space. False (out emptied) when it does not fit into room bytes.
bool BuildCopyCommandLine(char* out, uint32_t room, const char* copyPath, const char* before,
                          const char* sourcePath, const char* after);
