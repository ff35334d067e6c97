// What the engine's Windows tests stand on: the session's path buffers and an Archive as the
// loader leaves them (heap strings, a file table made from FileRecords), a scratch directory
// under the system's temporary directory, files placed in system folders, registry keys named
// LodrunTest, and a path buffer with guard bytes behind it. Every one of them is undone when
// its object goes, so that no test sees another's leftovers.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/setup_archive.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "builder/setup/file_records.h"
#include "support/test_setups.h"

namespace engine_test {

[[noreturn]] inline void Stop(const char* what, const std::string& detail) {
  std::fprintf(stderr, "engine_fixture: %s %s (error %lu)\n", what, detail.c_str(),
               GetLastError());
  std::abort();
}

// A heap copy of text, as the loader leaves Archive's strings (FreeSetupArchive frees it).
inline char* HeapString(const std::string& text) {
  char* copy = nullptr;
  if (!MemAlloc(uint32_t(text.size() + 1), &copy)) Stop("no memory for", text);
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Puts the table made from records into Archive on the heap, as the loader leaves it, in
// place of the one loaded before.
inline void LoadFileTable(const std::vector<FileRecord>& records) {
  MemFree(Archive.fileTable);
  const std::vector<uint8_t> content = FileTableContent(records);
  uint8_t* table = nullptr;
  if (!MemAlloc(uint32_t(content.size()), &table)) Stop("no memory for", "the file table");
  std::memcpy(table, content.data(), content.size());
  Archive.fileTable = table;
  Archive.fileCount = uint32_t(records.size());
  Archive.firstEntry = table + FILE_TABLE_COUNT_FIELD;
}

inline FileRecord Record(const std::string& name, uint8_t dirCode = DIR_INSTALL,
                         uint32_t size = 0) {
  FileRecord record;
  record.name = name;
  record.dirCode = dirCode;
  record.size = size;
  return record;
}

inline std::string WindowsDirectory() {
  char path[MAX_PATH] = "";
  GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

inline std::string SystemDirectory() {
  char path[MAX_PATH] = "";
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

inline bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

inline uint64_t FreeBytes(const std::string& path) {
  ULARGE_INTEGER available = {}, total = {}, free = {};
  if (!GetDiskFreeSpaceExA(path.substr(0, 3).c_str(), &available, &total, &free)) return 0;
  return available.QuadPart;
}

// Writes a file of size bytes: the first up to 64 KB written, the rest by setting the end of
// file. The host keeps such a file sparse, so that files of gigabytes take no room; one that
// took its room would fill the disk of the machine, and stops the tests.
inline void WriteSizedFile(const std::string& path, uint32_t size, DWORD attributes = 0) {
  const uint64_t freeBefore = FreeBytes(path);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Stop("cannot create", path);
  std::vector<char> head(size < 65536 ? size : 65536, 'x');
  DWORD written = 0;
  bool ok = head.empty() || WriteFile(file, head.data(), DWORD(head.size()), &written, nullptr);
  LONG high = 0;
  SetLastError(NO_ERROR);  // INVALID_SET_FILE_POINTER is also the position 0xFFFFFFFF
  ok = ok && (SetFilePointer(file, LONG(size), &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
              GetLastError() == NO_ERROR);
  ok = ok && SetEndOfFile(file);
  CloseHandle(file);
  if (!ok) Stop("cannot write", path);
  constexpr uint64_t SPARSE_SLACK = 256u << 20;
  if (size > SPARSE_SLACK && FreeBytes(path) + SPARSE_SLACK < freeBefore) {
    RemoveFile(path);
    Stop("the host does not keep large files sparse:", path);
  }
}

// Removes a file or a directory tree, read-only files included.
inline void RemoveTree(const std::string& path) { test_setups::RemoveTree(path); }

// The session's path buffers and an empty Archive for one test. The engine moves the current
// directory (the default directory's trimming, directory creation); it is put back.
class EngineSession {
 public:
  EngineSession() {
    if (!AllocateSessionPaths()) Stop("no memory for", "the session's paths");
    GetCurrentDirectoryA(MAX_PATH, savedDirectory);
  }
  ~EngineSession() {
    SetCurrentDirectoryA(savedDirectory);
    FreeSetupArchive();
    FreeSessionPaths();
  }
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

 private:
  char savedDirectory[MAX_PATH] = "";
};

// A directory of its own under the system's temporary directory (named without a trailing
// backslash), removed with its contents when the object goes.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name) {
    char temp[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) Stop("no temporary directory", name);
    path = std::string(temp) + "lodrun-engine-" + name + "-" +
           std::to_string(GetCurrentProcessId());
    RemoveTree(path);
    if (!CreateDirectoryA(path.c_str(), nullptr)) Stop("cannot create", path);
  }
  ~ScratchDirectory() {
    // A directory that is the current one cannot be removed.
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    RemoveTree(path);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return path; }
  std::string Sub(const std::string& relative) const { return path + "\\" + relative; }
  // Creates relative and the directories above it; returns its path.
  std::string MakeDirectories(const std::string& relative) const {
    size_t at = relative.find('\\');
    for (; at != std::string::npos; at = relative.find('\\', at + 1)) {
      CreateDirectoryA(Sub(relative.substr(0, at)).c_str(), nullptr);
    }
    if (!CreateDirectoryA(Sub(relative).c_str(), nullptr)) Stop("cannot create", Sub(relative));
    return Sub(relative);
  }
  std::string MakeFile(const std::string& relative, uint32_t size = 0, DWORD attributes = 0) const {
    WriteSizedFile(Sub(relative), size, attributes);
    return Sub(relative);
  }

 private:
  std::string path;
};

// A file placed in a folder outside the scratch directory (the System or the Fonts folder),
// deleted when the object goes; one left by an interrupted run is replaced.
class PlacedFile {
 public:
  PlacedFile(const std::string& directory, const std::string& name, uint32_t size = 16)
      : path(directory + "\\" + name) {
    RemoveFile(path);  // CREATE_ALWAYS does not replace a read-only file
    WriteSizedFile(path, size);
  }
  ~PlacedFile() { RemoveTree(path); }
  PlacedFile(const PlacedFile&) = delete;
  PlacedFile& operator=(const PlacedFile&) = delete;
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// Deletes a key with every key below it (RegDeleteKey only takes keys without subkeys).
inline void DeleteKeyTree(HKEY root, const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  char child[MAX_PATH];
  while (RegEnumKeyA(opened, 0, child, sizeof child) == ERROR_SUCCESS) {
    DeleteKeyTree(opened, child);
  }
  RegCloseKey(opened);
  RegDeleteKeyA(root, key.c_str());
}

// The key <parent>LodrunTest under root, created empty and deleted with its subtree when the
// object goes.
class TestKey {
 public:
  TestKey(HKEY root, const std::string& parent) : root(root), name(parent + "LodrunTest") {
    DeleteKeyTree(root, name);
    if (RegCreateKeyExA(root, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      Stop("cannot create the registry key", name);
    }
  }
  ~TestKey() {
    RegCloseKey(key);
    DeleteKeyTree(root, name);
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  const std::string& Name() const { return name; }
  // value null sets the key's default value.
  void Set(const char* value, const std::string& text, DWORD type = REG_SZ) const {
    const DWORD size = DWORD(text.size() + (type == REG_SZ ? 1 : 0));
    if (RegSetValueExA(key, value, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), size) !=
        ERROR_SUCCESS) {
      Stop("cannot set a value under", name);
    }
  }

 private:
  HKEY root;
  std::string name;
  HKEY key = nullptr;
};

// Stands in for one of the session's path buffers: a heap block of PATH_BUFFER_SIZE zero
// bytes followed by guard bytes, which nothing may write. The buffer it replaced comes back
// when it goes.
class GuardedPath {
 public:
  static constexpr uint32_t GUARD_SIZE = 64;
  static constexpr char GUARD_BYTE = '\xA5';

  explicit GuardedPath(char*& slot) : slot(slot), replaced(slot) {
    if (!MemAlloc(PATH_BUFFER_SIZE + GUARD_SIZE, &block)) Stop("no memory for", "a guard");
    std::memset(block, 0, PATH_BUFFER_SIZE);
    std::memset(block + PATH_BUFFER_SIZE, GUARD_BYTE, GUARD_SIZE);
    slot = block;
  }
  ~GuardedPath() {
    slot = replaced;
    MemFree(block);
  }
  GuardedPath(const GuardedPath&) = delete;
  GuardedPath& operator=(const GuardedPath&) = delete;

  bool GuardIntact() const {
    for (uint32_t i = PATH_BUFFER_SIZE; i < PATH_BUFFER_SIZE + GUARD_SIZE; ++i) {
      if (block[i] != GUARD_BYTE) return false;
    }
    return true;
  }
  bool Terminated() const { return std::memchr(block, 0, PATH_BUFFER_SIZE) != nullptr; }

 private:
  char*& slot;
  char* replaced;
  char* block = nullptr;
};

}  // namespace engine_test
