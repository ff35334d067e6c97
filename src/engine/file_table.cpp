// Walking the file table in the loaded block; the loader checked that every record of
// Archive.fileCount lies inside it.
#include "engine/file_table.h"

#include <cstring>

#include "archive/setup_archive.h"

FileEntry* NextEntry(FileEntry* entry) {
  return reinterpret_cast<FileEntry*>(reinterpret_cast<uint8_t*>(entry) + entry->recordLength);
}

bool HasVersionBlock(const FileEntry* entry) {
  return (entry->flags & FE_VERSION_BLOCK) != 0;
}

const FileVersionBlock* EntryVersion(const FileEntry* entry) {
  if (!HasVersionBlock(entry)) return nullptr;
  return reinterpret_cast<const FileVersionBlock*>(entry + 1);
}

const char* EntryString(const FileEntry* entry, uint32_t n) {
  const char* text = reinterpret_cast<const char*>(entry + 1);
  if (HasVersionBlock(entry)) text += FILE_ENTRY_VERSION_SIZE;
  for (uint32_t i = 0; i < n; ++i) text += std::strlen(text) + 1;
  return text;
}

FileEntry* FirstEntry() { return reinterpret_cast<FileEntry*>(Archive.firstEntry); }

uint32_t EntryCount() { return Archive.fileCount; }

FileEntry* EntryAt(uint32_t index) {
  FileEntry* entry = FirstEntry();
  for (uint32_t i = 0; i < index; ++i) entry = NextEntry(entry);
  return entry;
}

DirCode EntryDirCode(const FileEntry* entry) {
  switch (entry->dirCode) {
    case DIR_WINDOWS:
    case DIR_SYSTEM:
    case DIR_FONTS: return static_cast<DirCode>(entry->dirCode);
    default: return DIR_INSTALL;
  }
}

InstallMode EntryInstallMode(const FileEntry* entry) {
  switch (entry->installMode) {
    case MODE_REMOVE:
    case MODE_EXTERNAL: return static_cast<InstallMode>(entry->installMode);
    default: return MODE_KEEP;
  }
}
