// The data area: the files' streams in table order, behind BLOCK_END in the program file
// and continued in volume files beside it (the program file's name with ".D01", ".D02", ...
// in place of its extension), each starting with its u32 data size.
#pragma once

#include <cstdint>

#include "base/file_io.h"
#include "codec/decoder.h"

// Asked when the volume on disk `diskNumber` (the program file is disk 1) cannot be opened:
// true to try again, false when the user gave up (the asker has then shown the abort notice
// and ended the page). Handed in by the wizard, which owns the message boxes.
using DiskPrompt = bool (*)(uint32_t diskNumber);

// Opens the program file for the data area, standing at its first data byte; VolumeSize and
// DataRemaining keep the values read from BLOCK_END. False when the file does not open.
bool OpenFirstVolume(DiskPrompt prompt);

// Closes the volume being read; the data area is closed afterwards.
void CloseDataArea();

// The decoder's refill for the data area. An unbounded source (a header block) reads its
// file. A bounded one counts the bytes it got off DataRemaining, and when a read comes back
// short it moves to the next volume (or reopens the same one after a failed read) and fills
// the rest of the chunk from there, from as many volumes as it takes.
void RefillInput(DecoderInput& input);

// Closes the current volume and opens the one that holds the next data: the same volume
// again, behind the bytes already consumed, when it still holds unread data; else the next
// volume file, prompting until it opens. The invalid handle after an abort, or when the
// volume cannot be reached (shorter than what was consumed; a name that would not fit).
FileHandle OpenNextVolume();

// Rewrites path (the program file's) into the name of volume `number`: ".D%2.2d" in place
// of its extension. False, leaving path unchanged, when the name would not fit.
bool VolumeFileName(char* path, uint32_t number);
