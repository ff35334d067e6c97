// Loading the setup archive: the walk over the header blocks behind the program image.
#include <cstddef>
#include <cstring>

#include "archive/app_entry.h"
#include "archive/file_table_check.h"
#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "codec/decoder.h"

SetupArchive Archive;

namespace {

FileStatus ReadU16(FileHandle file, uint16_t* out) {
  uint8_t bytes[2];
  FileStatus status = FileRead(file, bytes, sizeof bytes);
  if (status == FILE_OK) *out = LoadU16LE(bytes);
  return status;
}

FileStatus ReadU32(FileHandle file, uint32_t* out) {
  uint8_t bytes[4];
  FileStatus status = FileRead(file, bytes, sizeof bytes);
  if (status == FILE_OK) *out = LoadU32LE(bytes);
  return status;
}

// A tag that occurs twice replaces the earlier block, which is freed first.
LoadStatus LoadInto(FileHandle file, uint16_t flags, uint32_t size, uint8_t** field) {
  MemFree(*field);
  return LoadBlockPayload(file, flags, size, field);
}

// A text's block need not hold its terminator, and every reader takes the text as a C string:
// the block's last byte becomes a terminator, and a block without bytes is no text.
LoadStatus LoadText(FileHandle file, uint16_t flags, uint32_t size, uint8_t** field) {
  LoadStatus status = LoadInto(file, flags, size, field);
  if (*field != nullptr) {
    const uint32_t length = MemSize(*field);
    if (length == 0) {
      MemFree(*field);
    } else {
      (*field)[length - 1] = '\0';
    }
  }
  return status;
}

LoadStatus LoadDefaultDir(FileHandle file, uint16_t flags, uint32_t size) {
  uint8_t* block = nullptr;
  LoadStatus status = LoadBlockPayload(file, flags, size, &block);
  if (block != nullptr) {
    // The payload need not be terminated within its size: copy at most what it holds.
    uint32_t length = MemSize(block);
    const void* end = std::memchr(block, '\0', length);
    if (end != nullptr) length = static_cast<uint32_t>(static_cast<const uint8_t*>(end) - block);
    if (length > PATH_BUFFER_SIZE - 1) length = PATH_BUFFER_SIZE - 1;
    std::memcpy(InstallDir, block, length);
    InstallDir[length] = '\0';
    MemFree(block);
  }
  return status;
}

LoadStatus LoadPageTexts(FileHandle file) {
  for (PageTexts*& list : Archive.pageTexts) MemFree(list);
  uint16_t count = 0;
  if (ReadU16(file, &count) != FILE_OK) return LOAD_SHORT_READ;
  uint32_t lists = count < PAGE_TEXT_LISTS ? count : PAGE_TEXT_LISTS;
  for (uint32_t i = 0; i < lists; ++i) {
    uint32_t size = 0;
    if (ReadU32(file, &size) != FILE_OK) return LOAD_SHORT_READ;
    uint8_t* list = nullptr;
    if (!MemAllocZero(size, &list)) return LOAD_NO_TEXT_MEMORY;
    Archive.pageTexts[i] = reinterpret_cast<PageTexts*>(list);
    if (!DecodeToMemory(list, size, file, 0)) return LOAD_SHORT_READ;
  }
  return LOAD_OK;
}

LoadStatus LoadFileTable(FileHandle file, uint16_t flags, uint32_t size) {
  Archive.fileCount = 0;
  Archive.firstEntry = nullptr;
  LoadStatus status = LoadInto(file, flags, size, &Archive.fileTable);
  if (status != LOAD_OK) return status;
  // A damaged table would lead every walk over it outside the block.
  if (!FileTableFits(Archive.fileTable, MemSize(Archive.fileTable))) return LOAD_BAD_VALUE;
  Archive.fileCount = LoadU32LE(Archive.fileTable);
  Archive.firstEntry = Archive.fileTable + FILE_TABLE_COUNT_FIELD;
  return LOAD_OK;
}

// The entry's texts are read as C strings: a block whose texts do not end inside it is
// refused, as a file table that does not fit its block is.
LoadStatus LoadAppEntry(FileHandle file, uint16_t flags, uint32_t size) {
  LoadStatus status = LoadInto(file, flags, size, &Archive.appEntry);
  if (status != LOAD_OK) return status;
  if (Archive.appEntry == nullptr || !AppEntryFits(Archive.appEntry, MemSize(Archive.appEntry))) {
    MemFree(Archive.appEntry);
    return LOAD_BAD_VALUE;
  }
  return LOAD_OK;
}

LoadStatus LoadEnd(FileHandle file) {
  Archive.DataAreaOffset = FileTell(file);
  if (ReadU32(file, &Archive.VolumeSize) != FILE_OK) return LOAD_SHORT_READ;
  Archive.DataRemaining = Archive.VolumeSize;
  return LOAD_OK;
}

// What a block's payload is, and so how it is loaded into its field of Archive. From
// BLOCK_LOADED on, the field is a memory block of the loader's, which FreeSetupArchive frees.
enum BlockKind : uint8_t {
  BLOCK_SKIPPED,       // unknown to the program: skipped by its size
  BLOCK_RAW_U32,       // a raw u32 (a short read is noticed at the next block header)
  BLOCK_RAW_PAGE,      // the raw u16 start page, 0 to LAST_PAGE or START_PAGE_ALL
  BLOCK_FOLDER,        // a loaded string copied into InstallDir; no field of Archive
  BLOCK_TEXT_LISTS,    // the PAGE_TEXT_LISTS lists of pageTexts
  BLOCK_LOADED,        // a loaded block as it came
  BLOCK_TEXT,          // a loaded string, terminated at its last byte
  BLOCK_TEMPLATES,     // a loaded block, its size in templatesSize
  BLOCK_FILES,         // the loaded file table, checked, its count and first entry set
  BLOCK_INSTALLED_APP  // the loaded app entry, its texts checked
};

// Where a block goes: its kind, and its field as an offset into Archive (the struct is a few
// hundred bytes at most). The kinds of a single block (the templates, the file table, the app
// entry) fill their fields by name; their row's field is the block FreeSetupArchive frees.
struct BlockSlot {
  BlockKind kind;
  uint8_t field;
};

struct BlockRow {
  uint16_t tag;
  BlockKind kind;
  size_t field;
};

#define FIELD(name) offsetof(SetupArchive, name)

// Every block the program reads: a new block is one row here (and its field in SetupArchive).
// Tags outside these rows, BLOCK_UNUSED and BLOCK_CODE_PAGE among them, are skipped; BLOCK_END
// ends the walk before it reaches a row.
constexpr BlockRow BLOCK_ROWS[] = {
    {BLOCK_SETUP_FLAGS, BLOCK_RAW_U32, FIELD(SetupFlags)},
    {BLOCK_DEFAULT_DIR, BLOCK_FOLDER, 0},
    {BLOCK_WIZARD_IMAGE, BLOCK_LOADED, FIELD(wizardImage)},
    {BLOCK_BACKGROUND_IMAGE, BLOCK_LOADED, FIELD(backgroundImage)},
    {BLOCK_APP_NAME, BLOCK_TEXT, FIELD(appName)},
    {BLOCK_BACKGROUND_TITLE, BLOCK_TEXT, FIELD(backgroundTitle)},
    {BLOCK_PAGE_TEXTS, BLOCK_TEXT_LISTS, FIELD(pageTexts)},
    {BLOCK_DIR_REG_ROOT, BLOCK_RAW_U32, FIELD(dirRegRoot)},
    {BLOCK_DIR_REG_KEY, BLOCK_TEXT, FIELD(dirRegKey)},
    {BLOCK_DIR_REG_VALUE, BLOCK_TEXT, FIELD(dirRegValue)},
    {BLOCK_DIR_INI_FILE, BLOCK_TEXT, FIELD(dirIniFile)},
    {BLOCK_DIR_INI_SECTION, BLOCK_TEXT, FIELD(dirIniSection)},
    {BLOCK_DIR_INI_KEY, BLOCK_TEXT, FIELD(dirIniKey)},
    {BLOCK_DIALOG_TEMPLATES, BLOCK_TEMPLATES, FIELD(templates)},
    {BLOCK_FILE_TABLE, BLOCK_FILES, FIELD(fileTable)},
    {BLOCK_START_PAGE, BLOCK_RAW_PAGE, FIELD(startPage)},
    {BLOCK_SPARE, BLOCK_LOADED, FIELD(spare)},
    {BLOCK_INSTALL_PACING, BLOCK_RAW_U32, FIELD(installPacing)},
    {BLOCK_APP_ENTRY, BLOCK_INSTALLED_APP, FIELD(appEntry)},
};

#undef FIELD

// The rows are stored by tag, from the lowest: a block's slot is one index away.
constexpr uint16_t FIRST_TAG = BLOCK_SETUP_FLAGS;

constexpr uint32_t SlotCount() {
  uint32_t count = 0;
  for (const BlockRow& row : BLOCK_ROWS) {
    const uint32_t needed = uint32_t(row.tag - FIRST_TAG) + 1;
    if (needed > count) count = needed;
  }
  return count;
}

constexpr uint32_t SLOT_COUNT = SlotCount();

struct BlockSlots {
  BlockSlot slot[SLOT_COUNT];
};

// Each row's tag from FIRST_TAG on and once only; each field's offset within a byte.
constexpr bool RowsFitSlots() {
  bool taken[SLOT_COUNT] = {};
  for (const BlockRow& row : BLOCK_ROWS) {
    if (row.tag < FIRST_TAG || taken[row.tag - FIRST_TAG] || row.field > UINT8_MAX) return false;
    taken[row.tag - FIRST_TAG] = true;
  }
  return true;
}
static_assert(RowsFitSlots(), "one row per tag, from FIRST_TAG, each field at an offset below 256");

constexpr BlockSlots SlotsByTag() {
  BlockSlots slots{};
  for (const BlockRow& row : BLOCK_ROWS) slots.slot[row.tag - FIRST_TAG] = {row.kind, uint8_t(row.field)};
  return slots;
}

constexpr BlockSlots SLOTS = SlotsByTag();

template <typename T>
T* FieldAt(uint8_t offset) {
  return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(&Archive) + offset);
}

LoadStatus HandleBlock(FileHandle file, uint16_t tag, uint16_t flags, uint32_t size) {
  const uint32_t index = uint32_t(tag - FIRST_TAG);  // below FIRST_TAG wraps past the slots
  if (index >= SLOT_COUNT) return LOAD_OK;
  const BlockSlot slot = SLOTS.slot[index];
  uint8_t** block = FieldAt<uint8_t*>(slot.field);
  switch (slot.kind) {
    case BLOCK_RAW_U32: ReadU32(file, FieldAt<uint32_t>(slot.field)); return LOAD_OK;
    case BLOCK_RAW_PAGE: {
      uint16_t* page = FieldAt<uint16_t>(slot.field);
      if (ReadU16(file, page) != FILE_OK) return LOAD_SHORT_READ;
      // Only pages 0 to 6 exist; any other page but "all" is a broken setup.
      if (*page > LAST_PAGE && *page != START_PAGE_ALL) return LOAD_BAD_VALUE;
      return LOAD_OK;
    }
    case BLOCK_FOLDER: return LoadDefaultDir(file, flags, size);
    case BLOCK_TEXT_LISTS: return LoadPageTexts(file);
    case BLOCK_LOADED: return LoadInto(file, flags, size, block);
    case BLOCK_TEXT: return LoadText(file, flags, size, block);
    case BLOCK_TEMPLATES: {
      LoadStatus status = LoadInto(file, flags, size, block);
      Archive.templatesSize = Archive.templates != nullptr ? MemSize(Archive.templates) : 0;
      return status;
    }
    case BLOCK_FILES: return LoadFileTable(file, flags, size);
    case BLOCK_INSTALLED_APP: return LoadAppEntry(file, flags, size);
    case BLOCK_SKIPPED: break;
  }
  return LOAD_OK;
}

}  // namespace

LoadStatus LoadBlockPayload(FileHandle file, uint16_t flags, uint32_t size, uint8_t** out) {
  *out = nullptr;
  bool compressed = (flags & BLOCK_FLAG_COMPRESSED) != 0;
  uint32_t n = size;
  if (compressed && ReadU32(file, &n) != FILE_OK) return LOAD_SHORT_READ;
  uint8_t* block = nullptr;
  if (!MemAlloc(n, &block)) return LOAD_NO_MEMORY;
  bool loaded = compressed ? DecodeToMemory(block, n, file, 0) : FileRead(file, block, n) == FILE_OK;
  if (!loaded) {
    MemFree(block);
    return LOAD_SHORT_READ;
  }
  *out = block;
  return LOAD_OK;
}

LoadStatus LoadArchiveBlocks(FileHandle file) {
  const uint32_t fileEnd = FileSize(file);
  if (fileEnd == FILE_BAD_POSITION) return LOAD_SHORT_READ;
  for (;;) {
    uint8_t header[BLOCK_HEADER_SIZE];
    if (FileRead(file, header, sizeof header) != FILE_OK) return LOAD_SHORT_READ;
    const uint16_t tag = LoadU16LE(header);
    const uint16_t flags = LoadU16LE(header + 2);
    const uint32_t size = LoadU32LE(header + 4);
    // BLOCK_END ends the walk whatever its size: writers count in it the data of the first
    // volume, or of all volumes, and the data area is read by its own size fields.
    if (tag == BLOCK_END) return size != 0 ? LoadEnd(file) : LOAD_OK;
    if (size != 0) {
      // A block must end inside the file: a size running past it (or wrapping the 32-bit
      // position back into the archive, which would walk the blocks for ever) is a cut archive.
      const uint32_t here = FileTell(file);
      if (here > fileEnd || size > fileEnd - here) return LOAD_SHORT_READ;
      uint32_t next = here + size;
      LoadStatus status = HandleBlock(file, tag, flags, size);
      if (status != LOAD_OK) return status;
      FileSeek(file, next);
    }
  }
}

LoadStatus ReadSetupArchive() {
  CopyPath(VolumePath, SourcePath);
  FileHandle file = FileOpen(SourcePath, OPEN_READ);
  if (file == INVALID_FILE) return LOAD_SHORT_READ;
  LoadStatus status = FileSeek(file, ImageSize()) == ImageSize() ? LoadArchiveBlocks(file)
                                                               : LOAD_SHORT_READ;
  FileClose(file);
  return status;
}

bool LoadSetupArchive() { return ImageSize() != 0 && ReadSetupArchive() == LOAD_OK; }

void FreeSetupArchive() {
  for (const BlockSlot& slot : SLOTS.slot) {
    const uint32_t blocks = slot.kind == BLOCK_TEXT_LISTS ? PAGE_TEXT_LISTS : slot.kind >= BLOCK_LOADED;
    for (uint32_t i = 0; i < blocks; ++i) MemFreeBlock(FieldAt<void*>(slot.field) + i);
  }
  Archive = SetupArchive{};
}
