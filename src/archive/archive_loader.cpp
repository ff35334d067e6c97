// Loading the setup archive: the walk over the header blocks behind the program image.
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
template <typename T>
LoadStatus LoadInto(FileHandle file, uint16_t flags, uint32_t size, T** field) {
  MemFree(*field);
  uint8_t* block = nullptr;
  LoadStatus status = LoadBlockPayload(file, flags, size, &block);
  *field = reinterpret_cast<T*>(block);
  return status;
}

// A text's block need not hold its terminator, and every reader takes the text as a C string:
// the block's last byte becomes a terminator, and a block without bytes is no text.
LoadStatus LoadText(FileHandle file, uint16_t flags, uint32_t size, char** field) {
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
    Archive.appEntry = nullptr;
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

LoadStatus HandleBlock(FileHandle file, uint16_t tag, uint16_t flags, uint32_t size) {
  switch (tag) {
    case BLOCK_SETUP_FLAGS:
      // Raw values: a short read is noticed at the next block header.
      ReadU32(file, &Archive.SetupFlags);
      return LOAD_OK;
    case BLOCK_DIR_REG_ROOT:
      ReadU32(file, &Archive.dirRegRoot);
      return LOAD_OK;
    case BLOCK_INSTALL_PACING:
      ReadU32(file, &Archive.installPacing);
      return LOAD_OK;
    case BLOCK_START_PAGE:
      if (ReadU16(file, &Archive.startPage) != FILE_OK) return LOAD_SHORT_READ;
      // Only pages 0 to 6 exist; any other page but "all" is a broken setup.
      if (Archive.startPage > LAST_PAGE && Archive.startPage != START_PAGE_ALL) return LOAD_BAD_VALUE;
      return LOAD_OK;
    case BLOCK_DEFAULT_DIR: return LoadDefaultDir(file, flags, size);
    case BLOCK_WIZARD_IMAGE: return LoadInto(file, flags, size, &Archive.wizardImage);
    case BLOCK_BACKGROUND_IMAGE: return LoadInto(file, flags, size, &Archive.backgroundImage);
    case BLOCK_APP_NAME: return LoadText(file, flags, size, &Archive.appName);
    case BLOCK_BACKGROUND_TITLE: return LoadText(file, flags, size, &Archive.backgroundTitle);
    case BLOCK_DIR_REG_KEY: return LoadText(file, flags, size, &Archive.dirRegKey);
    case BLOCK_DIR_REG_VALUE: return LoadText(file, flags, size, &Archive.dirRegValue);
    case BLOCK_DIR_INI_FILE: return LoadText(file, flags, size, &Archive.dirIniFile);
    case BLOCK_DIR_INI_SECTION: return LoadText(file, flags, size, &Archive.dirIniSection);
    case BLOCK_DIR_INI_KEY: return LoadText(file, flags, size, &Archive.dirIniKey);
    case BLOCK_SPARE: return LoadInto(file, flags, size, &Archive.spare);
    case BLOCK_APP_ENTRY: return LoadAppEntry(file, flags, size);
    case BLOCK_DIALOG_TEMPLATES: {
      LoadStatus status = LoadInto(file, flags, size, &Archive.templates);
      Archive.templatesSize = Archive.templates != nullptr ? MemSize(Archive.templates) : 0;
      return status;
    }
    case BLOCK_FILE_TABLE: return LoadFileTable(file, flags, size);
    case BLOCK_PAGE_TEXTS: return LoadPageTexts(file);
    case BLOCK_END: return LoadEnd(file);
    default: return LOAD_OK;  // unknown tags, and BLOCK_UNUSED, are skipped by their size
  }
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

bool LoadSetupArchive() {
  if (ImageSize() == 0) return false;
  CopyPath(VolumePath, SourcePath);
  FileHandle file = FileOpen(SourcePath, OPEN_READ);
  if (file == INVALID_FILE) return false;
  LoadStatus status = FileSeek(file, ImageSize()) == ImageSize() ? LoadArchiveBlocks(file)
                                                               : LOAD_SHORT_READ;
  FileClose(file);
  return status == LOAD_OK;
}

void FreeSetupArchive() {
  MemFree(Archive.wizardImage);
  MemFree(Archive.backgroundImage);
  MemFree(Archive.appName);
  MemFree(Archive.backgroundTitle);
  for (PageTexts*& list : Archive.pageTexts) MemFree(list);
  MemFree(Archive.dirRegKey);
  MemFree(Archive.dirRegValue);
  MemFree(Archive.dirIniFile);
  MemFree(Archive.dirIniSection);
  MemFree(Archive.dirIniKey);
  MemFree(Archive.templates);
  MemFree(Archive.fileTable);
  MemFree(Archive.spare);
  MemFree(Archive.appEntry);
  Archive = SetupArchive{};
}
