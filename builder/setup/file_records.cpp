// File records and BLOCK_FILE_TABLE, every field written explicitly, little-endian, and the
// checks that keep each record within what the program's path buffers hold.
#include "builder/setup/file_records.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

#include "archive/checksum.h"
#include "base/byte_order.h"
#include "builder/io/put_fields.h"

namespace {

constexpr uint32_t PATH_SEPARATOR_LENGTH = 1;   // the backslash between two path parts

std::runtime_error PathTooLong(const FileRecord& record, const std::string& path, size_t length) {
  return FileError(record, path + " (up to " + std::to_string(length) +
                               " characters) is longer than the program's " +
                               std::to_string(PATH_BUFFER_SIZE) + "-byte paths");
}

void PutString(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

// The longest that defaultDir can become when the program expands it: a leading macro
// "#name#rest" becomes a system folder, a backslash and the rest; anything else stays.
size_t ExpandedDirectoryLength(const std::string& defaultDir) {
  const size_t macroEnd = defaultDir.empty() || defaultDir[0] != DIRECTORY_MACRO
                              ? std::string::npos
                              : defaultDir.find(DIRECTORY_MACRO, 1);
  if (macroEnd == std::string::npos) return defaultDir.size();
  const size_t rest = defaultDir.size() - macroEnd - 1;
  return SYSTEM_FOLDER_RESERVE + PATH_SEPARATOR_LENGTH + rest;
}

// The longest that the directory of the record's target can be.
size_t TargetDirectoryLength(const FileRecord& record, const std::string& defaultDir) {
  if (record.installMode == MODE_EXTERNAL) return SYSTEM_FOLDER_RESERVE;  // beside the setup
  switch (record.dirCode) {
    case DIR_WINDOWS:
    case DIR_SYSTEM:
    case DIR_FONTS:
      return SYSTEM_FOLDER_RESERVE;
    default: {  // any other code places the file under the installation directory
      const size_t installDir = ExpandedDirectoryLength(defaultDir);
      // The system may propose its own folder for a shared file.
      return record.shared != 0 ? std::max<size_t>(installDir, SYSTEM_FOLDER_RESERVE) : installDir;
    }
  }
}

// The length of a folder followed by each non-empty part, a separator in front of each.
size_t JoinedLength(size_t folderLength, std::initializer_list<const std::string*> parts) {
  size_t length = folderLength;
  for (const std::string* part : parts) {
    if (!part->empty()) length += PATH_SEPARATOR_LENGTH + part->size();
  }
  return length;
}

void CheckRecordName(const FileRecord& record) {
  const std::string& name = record.name;
  if (name.empty()) throw FileError(record, "the name is empty");
  if (name[0] == '\\' || name[0] == '/') {
    throw FileError(record, "the name starts with a path separator; names are relative to their folder");
  }
  if (name.size() >= 2 && name[1] == ':') {
    throw FileError(record, "the name starts with a drive; names are relative to their folder");
  }
}

void CheckStrings(const FileRecord& record) {
  for (const std::string* text : RecordStrings(record)) {
    if (text->find('\0') != std::string::npos) throw FileError(record, "a string holds a NUL");
    if (text->size() >= PATH_BUFFER_SIZE) {
      throw PathTooLong(record, "a string of " + std::to_string(text->size()) + " characters",
                        text->size());
    }
  }
}

void CheckPaths(const FileRecord& record, const std::string& defaultDir) {
  size_t target = JoinedLength(TargetDirectoryLength(record, defaultDir), {&record.name});
  if (target > MAX_PATH_LENGTH) throw PathTooLong(record, "its target path", target);
  if (!record.groupFolder.empty() || !record.groupShortcut.empty()) {
    size_t group = JoinedLength(SYSTEM_FOLDER_RESERVE, {&record.groupFolder, &record.groupShortcut});
    if (!record.groupShortcut.empty()) group += SHORTCUT_SUFFIX_LENGTH;
    if (group > MAX_PATH_LENGTH) throw PathTooLong(record, "its group shortcut path", group);
  }
  if (!record.desktopShortcut.empty()) {
    size_t desktop = JoinedLength(SYSTEM_FOLDER_RESERVE, {&record.desktopShortcut}) +
                     SHORTCUT_SUFFIX_LENGTH;
    if (desktop > MAX_PATH_LENGTH) throw PathTooLong(record, "its desktop shortcut path", desktop);
  }
}

}  // namespace

std::runtime_error FileError(const FileRecord& record, const std::string& what) {
  return std::runtime_error("file '" + record.name + "': " + what);
}

uint32_t FileChecksum(const std::vector<uint8_t>& content) {
  if (content.size() > MAX_FIELD_VALUE) throw std::runtime_error("content too large to checksum");
  return ChecksumUpdate(content.data(), static_cast<uint32_t>(content.size()), CHECKSUM_START);
}

bool HasVersionBlock(const FileRecord& record) {
  return (record.flags & FE_VERSION_BLOCK) != 0;
}

std::vector<std::string*> RecordStrings(FileRecord& record) {
  std::vector<std::string*> strings(FILE_ENTRY_STRINGS);
  strings[ENTRY_NAME] = &record.name;
  strings[ENTRY_GROUP_FOLDER] = &record.groupFolder;
  strings[ENTRY_GROUP_SHORTCUT] = &record.groupShortcut;
  strings[ENTRY_GROUP_ARGUMENTS] = &record.groupArguments;
  strings[ENTRY_DESKTOP_SHORTCUT] = &record.desktopShortcut;
  strings[ENTRY_DESKTOP_ARGUMENTS] = &record.desktopArguments;
  return strings;
}

std::vector<const std::string*> RecordStrings(const FileRecord& record) {
  const std::vector<std::string*> strings = RecordStrings(const_cast<FileRecord&>(record));
  return std::vector<const std::string*>(strings.begin(), strings.end());
}

uint32_t RecordLength(const FileRecord& record) {
  size_t length = FILE_ENTRY_FIXED_SIZE + (HasVersionBlock(record) ? FILE_ENTRY_VERSION_SIZE : 0);
  for (const std::string* text : RecordStrings(record)) length += text->size() + 1;
  if (length > MAX_FIELD_VALUE) throw FileError(record, "the record is too large");
  return static_cast<uint32_t>(length);
}

void WriteFileRecord(std::vector<uint8_t>& out, const FileRecord& record) {
  const size_t start = out.size();
  const uint32_t length = RecordLength(record);
  // The fixed fields and the version block, each at its offset; the status starts at 0.
  out.resize(start + FILE_ENTRY_FIXED_SIZE + (HasVersionBlock(record) ? FILE_ENTRY_VERSION_SIZE : 0), 0);
  uint8_t* entry = out.data() + start;
  StoreU32LE(entry + FILE_ENTRY_RECORD_LENGTH, length);
  StoreU16LE(entry + FILE_ENTRY_STATUS, STATUS_NONE);
  StoreU16LE(entry + FILE_ENTRY_ICON_INDEX, record.iconIndex);
  entry[FILE_ENTRY_DIR_CODE] = record.dirCode;
  entry[FILE_ENTRY_END_ACTION] = record.endAction;
  entry[FILE_ENTRY_SHARED] = record.shared;
  entry[FILE_ENTRY_INSTALL_MODE] = record.installMode;
  entry[FILE_ENTRY_REGISTRATION] = record.registration;
  entry[FILE_ENTRY_FLAGS] = record.flags;
  StoreU32LE(entry + FILE_ENTRY_CHECKSUM, record.checksum);
  StoreU32LE(entry + FILE_ENTRY_SIZE, record.size);
  StoreU32LE(entry + FILE_ENTRY_PACKED_SIZE, record.packedSize);
  if (HasVersionBlock(record)) {
    uint8_t* version = entry + FILE_ENTRY_FIXED_SIZE;
    StoreU32LE(version + FILE_VERSION_FILE_MS, record.fileVersionMS);
    StoreU32LE(version + FILE_VERSION_FILE_LS, record.fileVersionLS);
    StoreU32LE(version + FILE_VERSION_PRODUCT_MS, record.productVersionMS);
    StoreU32LE(version + FILE_VERSION_PRODUCT_LS, record.productVersionLS);
    StoreU32LE(version + FILE_VERSION_LANGUAGE, record.language);
  }
  for (const std::string* text : RecordStrings(record)) {
    if (text->find('\0') != std::string::npos) throw FileError(record, "a string holds a NUL");
    PutString(out, *text);
  }
  // The length field is what the program steps from one record to the next by.
  if (out.size() - start != length) throw std::logic_error("record length mismatch");
}

FileRecord ReadFileRecord(const uint8_t* entry) {
  FileRecord record;
  record.iconIndex = LoadU16LE(entry + FILE_ENTRY_ICON_INDEX);
  record.dirCode = entry[FILE_ENTRY_DIR_CODE];
  record.endAction = entry[FILE_ENTRY_END_ACTION];
  record.shared = entry[FILE_ENTRY_SHARED];
  record.installMode = entry[FILE_ENTRY_INSTALL_MODE];
  record.registration = entry[FILE_ENTRY_REGISTRATION];
  record.flags = entry[FILE_ENTRY_FLAGS];
  record.checksum = LoadU32LE(entry + FILE_ENTRY_CHECKSUM);
  record.size = LoadU32LE(entry + FILE_ENTRY_SIZE);
  record.packedSize = LoadU32LE(entry + FILE_ENTRY_PACKED_SIZE);
  const uint8_t* strings = entry + FILE_ENTRY_FIXED_SIZE;
  if (HasVersionBlock(record)) {
    record.fileVersionMS = LoadU32LE(strings + FILE_VERSION_FILE_MS);
    record.fileVersionLS = LoadU32LE(strings + FILE_VERSION_FILE_LS);
    record.productVersionMS = LoadU32LE(strings + FILE_VERSION_PRODUCT_MS);
    record.productVersionLS = LoadU32LE(strings + FILE_VERSION_PRODUCT_LS);
    record.language = LoadU32LE(strings + FILE_VERSION_LANGUAGE);
    strings += FILE_ENTRY_VERSION_SIZE;
  }
  const char* text = reinterpret_cast<const char*>(strings);
  for (std::string* field : RecordStrings(record)) {
    *field = text;
    text += field->size() + 1;
  }
  return record;
}

std::vector<uint8_t> FileTableContent(const std::vector<FileRecord>& records) {
  if (records.size() > MAX_FIELD_VALUE) throw std::runtime_error("too many file records");
  std::vector<uint8_t> table;
  PutU32(table, static_cast<uint32_t>(records.size()));
  for (const FileRecord& record : records) {
    WriteFileRecord(table, record);
    if (table.size() > MAX_FIELD_VALUE) throw FileError(record, "the file table is too large");
  }
  return table;
}

void CheckFileRecord(const FileRecord& record, const std::string& defaultDir) {
  CheckRecordName(record);
  CheckStrings(record);
  CheckPaths(record, defaultDir);
}
