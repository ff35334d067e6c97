// File records: one per file of the setup, written byte for byte as the program reads them
// from BLOCK_FILE_TABLE, and the limits of what the program can hold in a record.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/names.h"  // SHORTCUT_SUFFIX_LENGTH

// Every field of one record. checksum, size and packedSize describe the file's content and
// its stream; the builder fills them when it adds the files (AddFiles).
struct FileRecord {
  uint16_t iconIndex = 0;
  uint8_t dirCode = DIR_INSTALL;
  uint8_t endAction = END_NONE;
  uint8_t shared = 0;
  uint8_t installMode = MODE_KEEP;
  uint8_t registration = REGISTER_NONE;
  uint8_t flags = 0;
  uint32_t checksum = 0;
  uint32_t size = 0;
  uint32_t packedSize = 0;
  // The version block, written only when flags holds FE_VERSION_CHECK or FE_LANGUAGE_CHECK.
  uint32_t fileVersionMS = 0;
  uint32_t fileVersionLS = 0;
  uint32_t productVersionMS = 0;
  uint32_t productVersionLS = 0;
  uint32_t language = 0;
  // The six strings, in record order (EntryStringIndex).
  std::string name;
  std::string groupFolder;
  std::string groupShortcut;
  std::string groupArguments;
  std::string desktopShortcut;
  std::string desktopArguments;
};

// The largest value of the setup file's u32 fields: every size in it is one (a file's, its
// stream's, the data area's, a volume's, a block's).
constexpr uint64_t MAX_FIELD_VALUE = 0xFFFFFFFFu;

// Characters of the longest path the program can build: its buffers keep a terminator.
constexpr uint32_t MAX_PATH_LENGTH = PATH_BUFFER_SIZE - 1;
// A folder that the builder cannot know, because the system names it when the setup runs
// (the Windows, System and Fonts folders, the folder the system proposes for a shared
// file, the setup's own folder beside which an external file lies, the Programs folder of
// the group shortcuts, the desktop, a leading "#name#" macro of the default directory), is
// assumed to be at most this long.
constexpr uint32_t SYSTEM_FOLDER_RESERVE = 96;
// The character around a macro's name at the start of the default directory: "#name#rest".
constexpr char DIRECTORY_MACRO = '#';

// The error a build fails with at a record: "file 'NAME': " and what is wrong.
std::runtime_error FileError(const FileRecord& record, const std::string& what);

// The checksum field's value for a content: ChecksumUpdate over it from CHECKSUM_START.
uint32_t FileChecksum(const std::vector<uint8_t>& content);

// True when the record carries the version block.
bool HasVersionBlock(const FileRecord& record);

// The six strings in record order.
std::vector<const std::string*> RecordStrings(const FileRecord& record);
std::vector<std::string*> RecordStrings(FileRecord& record);

// The record's bytes: fixed fields, version block when flagged, the six strings with NULs.
uint32_t RecordLength(const FileRecord& record);

// Appends one record exactly as the program reads it; status is always STATUS_NONE.
// Throws std::runtime_error naming the file when a string holds a NUL.
void WriteFileRecord(std::vector<uint8_t>& out, const FileRecord& record);

// The record that starts at entry, whose six strings are known to end inside it (the
// archive loader's file table check).
FileRecord ReadFileRecord(const uint8_t* entry);

// BLOCK_FILE_TABLE's content: the u32 record count, then the records in order.
std::vector<uint8_t> FileTableContent(const std::vector<FileRecord>& records);

// Throws std::runtime_error naming the file when the program could not hold the record:
// an empty name or one that starts with a backslash, a slash or a drive; a string of
// PATH_BUFFER_SIZE characters or more; or a target or shortcut path that would outgrow
// the program's path buffers (the bounds in file_records.cpp). defaultDir is the setup's
// BLOCK_DEFAULT_DIR text, which DIR_INSTALL records are placed under.
void CheckFileRecord(const FileRecord& record, const std::string& defaultDir);
