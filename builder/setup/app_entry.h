// BLOCK_APP_ENTRY: what the system's list of installed programs shows beside the setup's
// name (the icon of one of its files, the version, the publisher, the web address), as the
// manifest's [setup] keys give it, written into the block and read back from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

// Each text ends up in a registry value that the program copies into a path buffer.
constexpr uint32_t MAX_APP_ENTRY_TEXT = PATH_BUFFER_SIZE - 1;

struct AppEntry {
  bool present = false;  // any of the keys given: the block is written
  uint16_t iconRecord = APP_ENTRY_NO_ICON;  // the file table record whose file has the icon
  int16_t iconIndex = 0;
  std::string texts[APP_ENTRY_TEXT_COUNT];  // APP_ENTRY_VERSION, _PUBLISHER, _URL, in the code page
};

// The block's payload: the icon's record and index, then each text and its zero byte.
std::vector<uint8_t> AppEntryBlock(const AppEntry& entry);

// The entry read from a block's payload (present set); false with *fault saying what does
// not hold: a payload shorter than its fields, a text not ended inside it or too long for
// the program, an icon record beyond the file table's recordCount records.
bool ReadAppEntry(const std::vector<uint8_t>& payload, size_t recordCount, AppEntry* entry, std::string* fault);

// "app.exe,2": the target named and the icon index after its last comma (0 when none is
// written); false when what follows the last comma is a number out of an i16's range.
bool SplitDisplayIcon(const std::string& text, std::string* target, int16_t* index);
