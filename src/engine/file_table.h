// The file table: one record per file, in the order of the files' streams in the data area,
// read in place in the loaded BLOCK_FILE_TABLE (Archive.fileTable).
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/archive_format.h"

// The fixed fields of a record (layout in archive/archive_format.h), read in place: the
// loaded table is little-endian like the machines the program runs on, and its records
// are packed without alignment.
#pragma pack(push, 1)
struct FileEntry {
  uint32_t recordLength;  // the whole record; the next one starts this many bytes further
  uint16_t status;        // EntryStatus, written while installing
  uint16_t iconIndex;     // icon of the group shortcut; 0 = leave it unset
  uint8_t dirCode;        // DirCode
  uint8_t endAction;      // EndAction
  uint8_t shared;         // 1 = its "SharedDLLs" count is raised (not for DIR_INSTALL)
  uint8_t installMode;    // InstallMode
  uint8_t registration;   // Registration
  uint8_t flags;          // FE_* bits
  uint32_t checksum;      // FileChecksum of the content
  uint32_t size;          // uncompressed bytes
  uint32_t packedSize;    // bytes of its stream in the data area
};
// The version block behind the fixed fields, when FE_VERSION_CHECK or FE_LANGUAGE_CHECK.
struct FileVersionBlock {
  uint32_t fileVersionMS;
  uint32_t fileVersionLS;
  uint32_t productVersionMS;
  uint32_t productVersionLS;
  uint32_t language;  // a 16-bit language id
};
#pragma pack(pop)
static_assert(sizeof(FileEntry) == FILE_ENTRY_FIXED_SIZE, "the record's fixed fields");
static_assert(offsetof(FileEntry, recordLength) == FILE_ENTRY_RECORD_LENGTH, "recordLength");
static_assert(offsetof(FileEntry, status) == FILE_ENTRY_STATUS, "status");
static_assert(offsetof(FileEntry, iconIndex) == FILE_ENTRY_ICON_INDEX, "iconIndex");
static_assert(offsetof(FileEntry, dirCode) == FILE_ENTRY_DIR_CODE, "dirCode");
static_assert(offsetof(FileEntry, endAction) == FILE_ENTRY_END_ACTION, "endAction");
static_assert(offsetof(FileEntry, shared) == FILE_ENTRY_SHARED, "shared");
static_assert(offsetof(FileEntry, installMode) == FILE_ENTRY_INSTALL_MODE, "installMode");
static_assert(offsetof(FileEntry, registration) == FILE_ENTRY_REGISTRATION, "registration");
static_assert(offsetof(FileEntry, flags) == FILE_ENTRY_FLAGS, "flags");
static_assert(offsetof(FileEntry, checksum) == FILE_ENTRY_CHECKSUM, "checksum");
static_assert(offsetof(FileEntry, size) == FILE_ENTRY_SIZE, "size");
static_assert(offsetof(FileEntry, packedSize) == FILE_ENTRY_PACKED_SIZE, "packedSize");
static_assert(sizeof(FileVersionBlock) == FILE_ENTRY_VERSION_SIZE, "the version block");
static_assert(offsetof(FileVersionBlock, fileVersionMS) == FILE_VERSION_FILE_MS, "fileVersionMS");
static_assert(offsetof(FileVersionBlock, fileVersionLS) == FILE_VERSION_FILE_LS, "fileVersionLS");
static_assert(offsetof(FileVersionBlock, productVersionMS) == FILE_VERSION_PRODUCT_MS, "productVersionMS");
static_assert(offsetof(FileVersionBlock, productVersionLS) == FILE_VERSION_PRODUCT_LS, "productVersionLS");
static_assert(offsetof(FileVersionBlock, language) == FILE_VERSION_LANGUAGE, "language");

// The record `recordLength` bytes behind entry (for the last one, the table's end).
FileEntry* NextEntry(FileEntry* entry);

// True when the record carries the version block.
bool HasVersionBlock(const FileEntry* entry);
const FileVersionBlock* EntryVersion(const FileEntry* entry);  // null without one

// String n (EntryStringIndex, 0 to 5) of the record, inside the loaded table.
const char* EntryString(const FileEntry* entry, uint32_t n);

// The first record of the loaded table and the number of records.
FileEntry* FirstEntry();
uint32_t EntryCount();

// The walk over every record of the loaded table, in order, with its index:
//   for (EntryWalk walk; walk.More(); walk.Next()) ... walk.entry ... walk.index ...
// Its steps are always inlined: as calls they would keep the walk in memory (the programs
// are built without inlining small functions), which made the stub's code 52 bytes longer
// in CheckTargets alone.
struct EntryWalk {
  FileEntry* entry = FirstEntry();
  uint32_t index = 0;
  [[gnu::always_inline]] bool More() const { return index < EntryCount(); }
  [[gnu::always_inline]] void Next() {
    entry = NextEntry(entry);
    ++index;
  }
};

// The record at index (below EntryCount()).
FileEntry* EntryAt(uint32_t index);

// The directory an entry goes to: dirCode, any unknown value read as DIR_INSTALL.
DirCode EntryDirCode(const FileEntry* entry);
InstallMode EntryInstallMode(const FileEntry* entry);
