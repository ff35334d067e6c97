// Started from a removable disk, the setup copies its program image to the temporary
// directory and runs that copy, so that the disk can be changed during installation.
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

// When the program runs from a removable drive: copies the program image (ImageSize bytes)
// into a new "_inst<n>.exe" in the temporary directory and starts it with showCommand and
// `/S "<SourcePath>" /DEL`. True when the copy was started: this process then ends. False
// when the program goes on from where it was started, which is also the case when the copy
// could not be made or started (the unusable copy is deleted then).
bool RelaunchFromRemovableDisk(int showCommand);

// Copies the program image (the first ImageSize bytes of SourcePath) into a new
// "_inst<n>.exe" in the temporary directory and starts it with showCommand and the command
// line `<copy> <before><SourcePath><after>`. True when the copy was started; false when it
// could not be made or started (an unusable copy is deleted).
bool StartTemporaryCopy(int showCommand, const char* before, const char* after);

// True when path names a file on a removable drive (not a CD-ROM, not a network drive).
bool IsOnRemovableDrive(const char* path);

// `<copyPath> /S "<sourcePath>" /DEL` into out; the copy's path is quoted only when it holds
// a space. False (out emptied) when it does not fit into room bytes.
bool BuildRelaunchCommandLine(char* out, uint32_t room, const char* copyPath,
                              const char* sourcePath);

// `<copyPath><before><sourcePath><after>` into out, the copy's path quoted only when it holds
// a space. False (out emptied) when it does not fit into room bytes.
bool BuildCopyCommandLine(char* out, uint32_t room, const char* copyPath, const char* before,
                          const char* sourcePath, const char* after);
