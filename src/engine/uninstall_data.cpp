// The uninstall data's blocks, written field by field, little-endian, behind the uninstall
// program; a block's header is written last, once its size and count are known.
#include "engine/uninstall_data.h"

#include <windows.h>

#include <cstring>

#include "archive/archive_format.h"
#include "archive/names.h"
#include "base/byte_order.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/shortcuts.h"
#include "engine/target_paths.h"

namespace {

// The uninstall program reads relative records from its own folder: where it does not lie
// directly in InstallDir, every record is written absolute.
bool relativeToInstallDir = true;

// Whether UninstallPath, when it names a file, names one directly in InstallDir (which ends
// with a backslash).
bool UninstallerInInstallDir() {
  const size_t length = std::strlen(InstallDir);
  return UninstallPath[0] == '\0' || (std::strncmp(UninstallPath, InstallDir, length) == 0 &&
                                       std::strchr(UninstallPath + length, '\\') == nullptr);
}

// The first write to the uninstall data that failed, and the system's reason.
bool writeFailed = false;
uint32_t writeError = 0;

void Write(FileHandle file, const void* bytes, uint32_t count) {
  if (FileWrite(file, bytes, count) == FILE_OK || writeFailed) return;
  writeFailed = true;
  writeError = FileSystemError();
}

void WriteU32(FileHandle file, uint32_t value) {
  uint8_t field[sizeof value];
  StoreU32LE(field, value);
  Write(file, field, sizeof field);
}

// u16 tag, u16 flags, u32 size.
void WriteBlockHeader(FileHandle file, uint16_t tag, uint32_t size) {
  uint8_t header[BLOCK_HEADER_SIZE];
  StoreU16LE(header, tag);
  StoreU16LE(header + 2, 0);  // never compressed
  StoreU32LE(header + 4, size);
  Write(file, header, sizeof header);
}

// Moves to position; a move that fails spoils the data as a failed write does.
void Seek(FileHandle file, uint32_t position) {
  if (FileSeek(file, position) == position || writeFailed) return;
  writeFailed = true;
  writeError = FileSystemError();
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
uint32_t WriteEntryRecords(FileHandle file, const FileEntry* entry, uint32_t index, uint32_t recordIndex,
                           CreatedRecords* created) {
  uint32_t written = 0;
  // A path too long for its buffer leaves TargetPath empty: no file to name.
  const uint8_t flags = FileRecordFlags(entry);
  if (IsRemovedWithApplication(entry) && ResolveTargetPath(entry) != TARGET_TOO_LONG &&
      WriteFileRecord(file, flags)) {
    if (entry->status == STATUS_CREATED && created->indexes != nullptr) {
      created->indexes[created->count++] = recordIndex;
    }
    if ((flags & UNINSTALL_SHARED) != 0) MarkEntry(index, ENTRY_MARK_COUNT_LISTED);
    ++written;
  }
  // Only a link that the run saved: a file of that name that it did not write stays.
  const char* desktopShortcut = EntryString(entry, ENTRY_DESKTOP_SHORTCUT);
  if (desktopShortcut[0] != '\0' && EntryMarked(index, ENTRY_MARK_DESKTOP_LINK) &&
      DesktopShortcutPath(desktopShortcut, TargetPath) && WriteFileRecord(file, 0)) {
    ++written;
  }
  return written;
}

// Overwrites the header and count of the block at blockStart, then returns to the end.
void FinishBlock(FileHandle file, uint32_t blockStart, uint16_t tag, uint32_t count) {
  const uint32_t end = FileTell(file);
  Seek(file, blockStart);
  WriteBlockHeader(file, tag, end - blockStart - BLOCK_HEADER_SIZE);
  WriteU32(file, count);
  Seek(file, end);
}

// The part of an absolute path behind its root ("C:\" or "\\"), where its names begin.
char* BehindRoot(char* path) {
  if (path[0] != '\0' && path[1] == ':' && path[2] == '\\') return path + 3;
  if (path[0] == '\\' && path[1] == '\\') return path + 2;
  return path;
}

}  // namespace

void WriteCountedString(FileHandle file, const char* text) {
  const uint16_t length = CountedLength(text);
  uint8_t field[COUNTED_STRING_LENGTH_FIELD];
  StoreU16LE(field, length);
  Write(file, field, sizeof field);
  if (length != 0) Write(file, text, length);
}

bool WriteFileRecord(FileHandle file, uint8_t flags) {
  const char* directory = "";
  const char* name = TargetPath;
  if (InstallDir[0] != '\0' && relativeToInstallDir && StartsWithFolded(TargetPath, InstallDir)) {
    char* rest = TargetPath + std::strlen(InstallDir);
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
    NormaliseNamePath(BehindRoot(TargetPath));
    if (char* lastBackslash = std::strrchr(TargetPath, '\\')) {
      // The root's backslash stays out of the directory: "C:" is the drive's root.
      *lastBackslash = '\0';
      directory = TargetPath;
      name = lastBackslash + 1;
    }
  }
  // A record that the uninstall program would refuse would void all the data: such a file
  // is not listed.
  const uint32_t directoryLength = uint32_t(std::strlen(directory));
  if (!(IsRelativeRecordDirectory(directory, directoryLength) ||
        IsAbsoluteRecordDirectory(directory, directoryLength)) ||
      CheckNamePart(name, uint32_t(std::strlen(name))) != NAME_OK) {
    return false;
  }
  WriteCountedString(file, directory);
  WriteCountedString(file, name);
  Write(file, &flags, sizeof flags);
  return true;
}

void WriteUninstallFiles(FileHandle file, CreatedRecords* created) {
  writeFailed = false;
  writeError = 0;
  created->count = 0;
  // The uninstall program ends with its BLOCK_END header, which this block's header replaces.
  const uint32_t start = SeekEnd(file);
  if (start == FILE_BAD_POSITION || start < BLOCK_HEADER_SIZE) {
    writeFailed = true;
    writeError = FileSystemError();
    return;
  }
  AppendBackslash(InstallDir);
  relativeToInstallDir = UninstallerInInstallDir();
  WriteU32(file, 0);  // the count, written when known
  uint32_t count = 0;
  FileEntry* entry = FirstEntry();
  for (uint32_t i = 0; i < EntryCount(); ++i, entry = NextEntry(entry)) {
    count += WriteEntryRecords(file, entry, i, count, created);
  }
  FinishBlock(file, start - BLOCK_HEADER_SIZE, UNINSTALL_FILES, count);
  relativeToInstallDir = true;
}

void WriteGroupShortcuts(FileHandle file) {
  const bool recording = file != INVALID_FILE;
  bool started = false;
  uint32_t blockStart = 0;
  uint32_t count = 0;
  FileEntry* entry = FirstEntry();
  for (uint32_t i = 0; i < EntryCount(); ++i, entry = NextEntry(entry)) {
    const char* shortcut = EntryString(entry, ENTRY_GROUP_SHORTCUT);
    if (shortcut[0] == '\0' || ResolveTargetPath(entry) == TARGET_TOO_LONG) continue;
    if (recording && !started) {
      blockStart = SeekEnd(file);
      WriteBlockHeader(file, UNINSTALL_SHORTCUTS, 0);
      WriteU32(file, 0);
      started = true;
    }
    const uint32_t before = recording ? FileTell(file) : 0;
    CreateGroupShortcut(TargetPath, EntryString(entry, ENTRY_GROUP_FOLDER), shortcut,
                        EntryString(entry, ENTRY_GROUP_ARGUMENTS), entry->iconIndex, file);
    if (recording && FileTell(file) != before) ++count;
  }
  if (!started) return;
  // A valid block whatever happens; one without records is then cut off again.
  FinishBlock(file, blockStart, UNINSTALL_SHORTCUTS, count);
  if (count == 0 && !writeFailed && FileSeek(file, blockStart) == blockStart) {
    SetEndOfFile(reinterpret_cast<HANDLE>(file));
  }
}

void WriteAppKeyBlock(FileHandle file, const char* keyPath) {
  const uint32_t length = CountedLength(keyPath);
  WriteBlockHeader(file, UNINSTALL_APP_KEY,
                   UNINSTALL_ROOT_FIELD + COUNTED_STRING_LENGTH_FIELD + length);
  WriteU32(file, UNINSTALL_ROOT_LOCAL_MACHINE);
  WriteCountedString(file, keyPath);
}

void WriteCreatedBlock(FileHandle file, const CreatedRecords& created) {
  if (created.count == 0) return;
  WriteBlockHeader(file, UNINSTALL_CREATED, UNINSTALL_COUNT_FIELD + created.count * UNINSTALL_INDEX_FIELD);
  WriteU32(file, created.count);
  for (uint32_t i = 0; i < created.count; ++i) WriteU32(file, created.indexes[i]);
}

void WriteCountsBlock(FileHandle file) {
  const uint32_t start = FileTell(file);
  uint32_t count = 0;
  FileEntry* entry = FirstEntry();
  for (uint32_t i = 0; i < EntryCount(); ++i, entry = NextEntry(entry)) {
    if (!EntryMarked(i, ENTRY_MARK_COUNT_RAISED) || EntryMarked(i, ENTRY_MARK_COUNT_LISTED) ||
        ResolveTargetPath(entry) == TARGET_TOO_LONG ||
        !IsAbsoluteRecordDirectory(TargetPath, uint32_t(std::strlen(TargetPath)))) {
      continue;
    }
    if (count == 0) {
      WriteBlockHeader(file, UNINSTALL_COUNTS, 0);
      WriteU32(file, 0);
    }
    WriteCountedString(file, TargetPath);
    ++count;
  }
  if (count != 0) FinishBlock(file, start, UNINSTALL_COUNTS, count);
}

void WriteUninstallEnd(FileHandle file) { WriteBlockHeader(file, BLOCK_END, 0); }

bool UninstallDataWritten(uint32_t* systemError) {
  *systemError = writeError;
  return !writeFailed;
}
