// The uninstall data's blocks, written field by field, little-endian, behind the uninstall
// program; a block's header is written last, once its size and count are known.
#include "engine/uninstall_data.h"

#include <windows.h>

#include <cstring>

#include "archive/archive_format.h"
#include "archive/names.h"
#include "base/byte_order.h"
#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/shortcuts.h"
#include "engine/target_paths.h"
#include "system/shell_folders.h"

namespace {

// Whether UninstallPath, when it names a file, names one directly in InstallDir (which ends
// with a backslash).
bool UninstallerInInstallDir() {
  const size_t length = std::strlen(InstallDir);
  return UninstallPath[0] == '\0' || (std::strncmp(UninstallPath, InstallDir, length) == 0 &&
                                       std::strchr(UninstallPath + length, '\\') == nullptr);
}

// Keeps the first failure: the data are not whole.
void Fail(UninstallWriter* writer) {
  if (writer->failed) return;
  writer->failed = true;
  writer->systemError = FileSystemError();
}

void Write(UninstallWriter* writer, const void* bytes, uint32_t count) {
  if (FileWrite(writer->file, bytes, count) != FILE_OK) Fail(writer);
}

void WriteU32(UninstallWriter* writer, uint32_t value) {
  uint8_t field[sizeof value];
  StoreU32LE(field, value);
  Write(writer, field, sizeof field);
}

// u16 tag, u16 flags, u32 size.
void WriteBlockHeader(UninstallWriter* writer, uint16_t tag, uint32_t size) {
  uint8_t header[BLOCK_HEADER_SIZE];
  StoreU16LE(header, tag);
  StoreU16LE(header + 2, 0);  // never compressed
  StoreU32LE(header + 4, size);
  Write(writer, header, sizeof header);
}

// Moves to position; a move that fails spoils the data as a failed write does.
void Seek(UninstallWriter* writer, uint32_t position) {
  if (FileSeek(writer->file, position) != position) Fail(writer);
}

// Moves to the file's end; its position, or FILE_BAD_POSITION.
uint32_t SeekEnd(FileHandle file) {
  const uint32_t size = FileSize(file);
  return size == FILE_BAD_POSITION ? FILE_BAD_POSITION : FileSeek(file, size);
}

// True when path begins with prefix, letters compared without their case. Only ASCII
// letters are folded: a path under InstallDir is built from InstallDir's own bytes, so the
// fold only matters for a system folder spelt in another case, and those are ASCII.
bool StartsWithFolded(const char* path, const char* prefix) {
  for (; *prefix != '\0'; ++path, ++prefix) {
    if (UpperAscii(*path) != UpperAscii(*prefix)) return false;
  }
  return true;
}

// The bytes of text that a counted string holds.
uint16_t CountedLength(const char* text) {
  const size_t length = std::strlen(text);
  return static_cast<uint16_t>(length < COUNTED_STRING_MAX ? length : COUNTED_STRING_MAX);
}

// The flags of an installed record's file record.
uint8_t FileRecordFlags(const FileEntry* entry) {
  const DirCode dirCode = EntryDirCode(entry);
  uint8_t flags = 0;
  if (dirCode != DIR_INSTALL && entry->shared == 1) flags |= UNINSTALL_SHARED;
  if (dirCode == DIR_FONTS) flags |= UNINSTALL_FONT;
  if (entry->registration == REGISTER_COM_SERVER) flags |= UNINSTALL_SELF_REGISTERED;
  return flags;
}

// True when the record's file was installed and goes with the application. A font that
// was there before is the system's, whether or not the disk check saw it.
bool IsRemovedWithApplication(const FileEntry* entry) {
  const bool installed = entry->status == STATUS_REPLACED || entry->status == STATUS_CREATED;
  const bool font = EntryDirCode(entry) == DIR_FONTS;
  return installed && EntryInstallMode(entry) == MODE_REMOVE && (!font || entry->status == STATUS_CREATED);
}

// Writes the record's file record and its desktop shortcut's; the number written. The
// index of a created file's record goes into created.
uint32_t WriteEntryRecords(UninstallWriter* writer, const FileEntry* entry, uint32_t index,
                           uint32_t recordIndex, CreatedRecords* created) {
  uint32_t written = 0;
  // A path too long for its buffer leaves TargetPath empty: no file to name.
  const uint8_t flags = FileRecordFlags(entry);
  if (IsRemovedWithApplication(entry) && ResolveTargetPath(entry) != TARGET_TOO_LONG &&
      WriteUninstallFileRecord(writer, TargetPath, flags)) {
    if (entry->status == STATUS_CREATED && created->indexes != nullptr) {
      created->indexes[created->count++] = recordIndex;
    }
    if ((flags & UNINSTALL_SHARED) != 0) MarkEntry(index, ENTRY_MARK_COUNT_LISTED);
    ++written;
  }
  // Only a link that the run saved: a file of that name that it did not write stays.
  const char* desktopShortcut = EntryString(entry, ENTRY_DESKTOP_SHORTCUT);
  if (desktopShortcut[0] != '\0' && EntryMarked(index, ENTRY_MARK_DESKTOP_LINK) &&
      DesktopShortcutPath(desktopShortcut, TargetPath) && WriteUninstallFileRecord(writer, TargetPath, 0)) {
    ++written;
  }
  return written;
}

// Overwrites the header and count of the block at blockStart, then returns to the end.
void FinishBlock(UninstallWriter* writer, uint32_t blockStart, uint16_t tag, uint32_t count) {
  const uint32_t end = FileTell(writer->file);
  Seek(writer, blockStart);
  WriteBlockHeader(writer, tag, end - blockStart - BLOCK_HEADER_SIZE);
  WriteU32(writer, count);
  Seek(writer, end);
}

// Writes the saved link's record; false, writing nothing, when the uninstall program would
// not take it.
bool WriteShortcutRecord(UninstallWriter* writer, const SavedShortcut& saved) {
  const uint32_t folderLength = uint32_t(saved.link - saved.folder - 1);
  if (!UninstallTakesShortcutRecord(saved.folder, folderLength, saved.link, uint32_t(std::strlen(saved.link)))) {
    return false;
  }
  WriteCountedString(writer, saved.folder);
  WriteCountedString(writer, saved.link);
  return true;
}

}  // namespace

void WriteCountedString(UninstallWriter* writer, const char* text) {
  const uint16_t length = CountedLength(text);
  uint8_t field[COUNTED_STRING_LENGTH_FIELD];
  StoreU16LE(field, length);
  Write(writer, field, sizeof field);
  if (length != 0) Write(writer, text, length);
}

bool WriteUninstallFileRecord(UninstallWriter* writer, char* path, uint8_t flags) {
  const char* directory = "";
  const char* name = path;
  if (InstallDir[0] != '\0' && writer->relativeToInstallDir && StartsWithFolded(path, InstallDir)) {
    char* rest = path + std::strlen(InstallDir);
    NormaliseNamePath(rest);  // "docs\\two.txt" and ".\docs\readme.txt" as the reader reads them
    char* lastBackslash = std::strrchr(rest, '\\');
    directory = ".";
    name = rest;
    if (lastBackslash != nullptr) {
      // ".\" and the rest fit: they stand for InstallDir, longer than two characters.
      *lastBackslash = '\0';
      CopyPath(ScratchPath, ".\\");
      AppendPath(ScratchPath, rest);
      directory = ScratchPath;
      name = lastBackslash + 1;
    }
  } else {
    NormaliseNamePath(path + PathRootLength(path));  // the names behind the root
    if (char* lastBackslash = std::strrchr(path, '\\')) {
      // The root's backslash stays out of the directory: "C:" is the drive's root.
      *lastBackslash = '\0';
      directory = path;
      name = lastBackslash + 1;
    }
  }
  if (!UninstallTakesFileRecord(directory, uint32_t(std::strlen(directory)), name, uint32_t(std::strlen(name)))) {
    return false;
  }
  WriteCountedString(writer, directory);
  WriteCountedString(writer, name);
  Write(writer, &flags, sizeof flags);
  return true;
}

void WriteUninstallFiles(UninstallWriter* writer, CreatedRecords* created) {
  created->count = 0;
  // The uninstall program ends with its BLOCK_END header, which this block's header replaces.
  const uint32_t start = SeekEnd(writer->file);
  if (start == FILE_BAD_POSITION || start < BLOCK_HEADER_SIZE) {
    Fail(writer);
    return;
  }
  AppendBackslash(InstallDir);
  writer->relativeToInstallDir = UninstallerInInstallDir();
  WriteU32(writer, 0);  // the count, written when known
  uint32_t count = 0;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    count += WriteEntryRecords(writer, walk.entry, walk.index, count, created);
  }
  FinishBlock(writer, start - BLOCK_HEADER_SIZE, UNINSTALL_FILES, count);
}

void WriteGroupShortcuts(UninstallWriter* writer) {
  bool started = false;
  uint32_t blockStart = 0;
  uint32_t count = 0;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    const FileEntry* entry = walk.entry;
    const char* shortcut = EntryString(entry, ENTRY_GROUP_SHORTCUT);
    if (shortcut[0] == '\0' || ResolveTargetPath(entry) == TARGET_TOO_LONG) continue;
    if (writer != nullptr && !started) {
      blockStart = SeekEnd(writer->file);
      WriteBlockHeader(writer, UNINSTALL_SHORTCUTS, 0);
      WriteU32(writer, 0);
      started = true;
    }
    SavedShortcut saved;
    if (CreateGroupShortcut(TargetPath, EntryString(entry, ENTRY_GROUP_FOLDER), shortcut,
                            EntryString(entry, ENTRY_GROUP_ARGUMENTS), entry->iconIndex, &saved) &&
        writer != nullptr && WriteShortcutRecord(writer, saved)) {
      ++count;
    }
  }
  if (!started) return;
  // A valid block whatever happens; one without records is then cut off again.
  FinishBlock(writer, blockStart, UNINSTALL_SHORTCUTS, count);
  if (count == 0 && !writer->failed && FileSeek(writer->file, blockStart) == blockStart) {
    SetEndOfFile(reinterpret_cast<HANDLE>(writer->file));
  }
}

void WriteAppKeyBlock(UninstallWriter* writer, const char* keyPath) {
  const uint32_t length = CountedLength(keyPath);
  WriteBlockHeader(writer, UNINSTALL_APP_KEY,
                   UNINSTALL_ROOT_FIELD + COUNTED_STRING_LENGTH_FIELD + length);
  WriteU32(writer, UNINSTALL_ROOT_LOCAL_MACHINE);
  WriteCountedString(writer, keyPath);
}

void WriteCreatedBlock(UninstallWriter* writer, const CreatedRecords& created) {
  if (created.count == 0) return;
  WriteBlockHeader(writer, UNINSTALL_CREATED, UNINSTALL_COUNT_FIELD + created.count * UNINSTALL_INDEX_FIELD);
  WriteU32(writer, created.count);
  for (uint32_t i = 0; i < created.count; ++i) WriteU32(writer, created.indexes[i]);
}

void WriteCountsBlock(UninstallWriter* writer) {
  const uint32_t start = FileTell(writer->file);
  uint32_t count = 0;
  for (EntryWalk walk; walk.More(); walk.Next()) {
    if (!EntryMarked(walk.index, ENTRY_MARK_COUNT_RAISED) || EntryMarked(walk.index, ENTRY_MARK_COUNT_LISTED) ||
        ResolveTargetPath(walk.entry) == TARGET_TOO_LONG ||
        !IsAbsoluteRecordDirectory(TargetPath, uint32_t(std::strlen(TargetPath)))) {
      continue;
    }
    if (count == 0) {
      WriteBlockHeader(writer, UNINSTALL_COUNTS, 0);
      WriteU32(writer, 0);
    }
    WriteCountedString(writer, TargetPath);
    ++count;
  }
  if (count != 0) FinishBlock(writer, start, UNINSTALL_COUNTS, count);
}

void WriteUninstallEnd(UninstallWriter* writer) { WriteBlockHeader(writer, BLOCK_END, 0); }
