// The prompt for the next disk when a volume of the data area cannot be opened.
#pragma once

#include <cstdint>

// The prompt's text is formatted into this many bytes, terminator included.
constexpr uint32_t DISK_PROMPT_SIZE = 200;

// Message 28 with its "%d" replaced by diskNumber ("%%" giving "%"), cut to fit buffer
// (DISK_PROMPT_SIZE bytes); a message with another conversion is shown as it is.
void FormatDiskPrompt(char* buffer, uint32_t diskNumber);

// The data area's DiskPrompt: asks for disk diskNumber (OK tries again); Cancel asks whether
// to give up (No tries again); Yes shows the abort notice, ends the page as cancelled, clears
// what would start after the wizard, and returns false.
bool AskForNextDisk(uint32_t diskNumber);
