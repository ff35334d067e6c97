// What the system's list of installed programs shows beside the application's name, from
// BLOCK_APP_ENTRY: the icon's record and index, the version, the publisher, the web address.
#pragma once

#include <cstdint>

// Whether a block of size bytes (not null) holds the fields and every text ended inside it, each text
// short enough for a path buffer (the program copies them into such buffers).
bool AppEntryFits(const uint8_t* block, uint32_t size);

// Whether the setup has the block: without it, nothing beyond the name is listed.
bool HasAppEntry();
// Text n (APP_ENTRY_VERSION, APP_ENTRY_PUBLISHER, APP_ENTRY_URL); "" without the block.
const char* AppEntryText(uint32_t n);
// The record whose installed file gives the icon, APP_ENTRY_NO_ICON without one; its index.
uint32_t AppEntryIconRecord();
int AppEntryIconIndex();
