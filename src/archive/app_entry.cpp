// Reading BLOCK_APP_ENTRY's fields and texts.
#include "archive/app_entry.h"

#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/path_buffer.h"

bool AppEntryFits(const uint8_t* block, uint32_t size) {
  if (size < APP_ENTRY_TEXTS) return false;
  uint32_t at = APP_ENTRY_TEXTS;
  for (uint32_t n = 0; n < APP_ENTRY_TEXT_COUNT; ++n) {
    const uint32_t start = at;
    while (at < size && block[at] != '\0') ++at;
    if (at == size || at - start >= PATH_BUFFER_SIZE) return false;
    ++at;  // past the terminator
  }
  return true;
}

bool HasAppEntry() { return Archive.appEntry != nullptr; }

const char* AppEntryText(uint32_t n) {
  if (!HasAppEntry()) return "";
  // Every text ends inside the block: the loader keeps no other.
  const char* text = reinterpret_cast<const char*>(Archive.appEntry + APP_ENTRY_TEXTS);
  for (; n != 0; --n) {
    while (*text != '\0') ++text;
    ++text;
  }
  return text;
}

uint32_t AppEntryIconRecord() {
  return HasAppEntry() ? LoadU16LE(Archive.appEntry + APP_ENTRY_ICON_RECORD) : APP_ENTRY_NO_ICON;
}

int AppEntryIconIndex() {
  return HasAppEntry() ? int16_t(LoadU16LE(Archive.appEntry + APP_ENTRY_ICON_INDEX)) : 0;
}
