// Started from a removable disk, the setup copies its program image to the temporary
// directory and runs that copy, so that the disk can be changed during installation.
#pragma once

#include <cstdint>

#include "system/program_file.h"

// When the program runs from a removable drive: copies the program image (ImageSize bytes)
// into a new "_inst<n>.exe" in the temporary directory and starts it with showCommand and
// `/S "<SourcePath>" /DEL`. True when the copy was started: this process then ends. False
// when the program goes on from where it was started, which is also the case when the copy
// could not be made or started (the unusable copy is deleted then).
bool RelaunchFromRemovableDisk(int showCommand);

// True when path names a file on a removable drive (not a CD-ROM, not a network drive).
bool IsOnRemovableDrive(const char* path);

// `<copyPath> /S "<sourcePath>" /DEL` into out; the copy's path is quoted only when it holds
// a space. False (out emptied) when it does not fit into room bytes.
bool BuildRelaunchCommandLine(char* out, uint32_t room, const char* copyPath,
                              const char* sourcePath);

