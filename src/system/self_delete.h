// A temporary copy of the setup deletes its own file at the next system start: on Windows
// NT through the pending file operations, on Windows 95/98 through WININIT.INI.
#pragma once

#include <cstdint>

// Marks the program's own file (in TargetPath) for deletion at the next system start.
// Failures are silent: start-up goes on.
void ScheduleSelfDeletion();

// Marks the file at path for deletion at the next system start; true when the system took
// the request.
bool ScheduleDeletionAtRestart(const char* path);

// The Windows 95/98 way: writes the entry "xyz=<shortPath>" into section [Rename] of the
// INI file at iniPath, then turns its key into NUL, which deletes the file at the next
// start. True when the entry was rewritten.
bool RegisterWininitDeletion(const char* iniPath, const char* shortPath);

// Rewrites the first line "xyz=<shortPath>" of the file into "NUL=<shortPath>", in place.
// True when such a line was found and the file written back.
bool RewriteWininitEntry(const char* iniPath, const char* shortPath);

// The offset of the first line of text that is exactly "xyz=<shortPath>" (a whole line:
// preceded by a line break or the start, followed by one or the end), or NO_WININIT_ENTRY.
constexpr uint32_t NO_WININIT_ENTRY = 0xFFFFFFFFu;
uint32_t FindWininitEntry(const uint8_t* text, uint32_t size, const char* shortPath);
