// Page texts: a list is a u16 string count followed by NUL-terminated strings, held in one
// memory block of its decoded size.
#include "archive/page_texts.h"

#include <cstring>

#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/memory.h"

namespace {

const char kEmptyText[] = "";

}  // namespace

const char* PageText(uint32_t list, uint32_t n) {
  if (list >= PAGE_TEXT_LISTS) return kEmptyText;
  const uint8_t* block = reinterpret_cast<const uint8_t*>(Archive.pageTexts[list]);
  if (block == nullptr) return kEmptyText;
  const uint32_t size = MemSize(block);
  if (size < PAGE_TEXT_STRING_COUNT_FIELD) return kEmptyText;
  const uint32_t count = LoadU16LE(block);
  if (n >= count) return kEmptyText;
  // Every string walked over, and the one returned, must end inside the block: the count
  // comes from the archive and may promise more than the block holds.
  uint32_t position = PAGE_TEXT_STRING_COUNT_FIELD;
  for (uint32_t i = 0;; ++i) {
    const void* end = std::memchr(block + position, '\0', size - position);
    if (end == nullptr) return kEmptyText;
    if (i == n) return reinterpret_cast<const char*>(block + position);
    position = static_cast<uint32_t>(static_cast<const uint8_t*>(end) - block) + 1;
    if (position >= size) return kEmptyText;
  }
}
