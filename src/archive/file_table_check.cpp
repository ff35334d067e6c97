// The file table's records against the end of their block.
#include "archive/file_table_check.h"

#include <cstring>

#include "archive/archive_format.h"
#include "base/byte_order.h"

namespace {

// The smallest record: the fixed fields and six empty strings.
constexpr uint32_t MIN_RECORD_SIZE = FILE_ENTRY_FIXED_SIZE + FILE_ENTRY_STRINGS;

bool RecordFits(const uint8_t* record, uint32_t room) {
  if (room < MIN_RECORD_SIZE) return false;
  const uint32_t length = LoadU32LE(record + FILE_ENTRY_RECORD_LENGTH);
  if (length < MIN_RECORD_SIZE || length > room) return false;
  const bool versioned = (record[FILE_ENTRY_FLAGS] & FE_VERSION_BLOCK) != 0;
  uint32_t at = FILE_ENTRY_FIXED_SIZE + (versioned ? FILE_ENTRY_VERSION_SIZE : 0);
  for (uint32_t n = 0; n < FILE_ENTRY_STRINGS; ++n) {
    if (at >= length) return false;
    const void* end = std::memchr(record + at, '\0', length - at);
    if (end == nullptr) return false;
    at = static_cast<uint32_t>(static_cast<const uint8_t*>(end) - record) + 1;
  }
  return true;
}

}  // namespace

bool FileTableFits(const uint8_t* table, uint32_t size) {
  if (table == nullptr || size < FILE_TABLE_COUNT_FIELD) return false;
  const uint32_t count = LoadU32LE(table);
  uint32_t at = FILE_TABLE_COUNT_FIELD;
  // Each record takes at least MIN_RECORD_SIZE bytes, so the loop ends within the block.
  for (uint32_t i = 0; i < count; ++i) {
    if (!RecordFits(table + at, size - at)) return false;
    at += LoadU32LE(table + at + FILE_ENTRY_RECORD_LENGTH);
  }
  return true;
}
