// What the shortcut and uninstall-data tests stand on: an OLE apartment, the session's path
// buffers with an Archive whose file table comes from FileRecords, the shell's folders, a
// scratch directory, saved links read back, and the bytes of a file with a reader of their
// little-endian fields. Each object undoes what it made when it goes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "archive/setup_archive.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "builder/setup/file_records.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine_fixture.h"
#include "support/system_state.h"

namespace links_test {

// OLE for one test, as the program holds it for its whole run.
struct OleApartment {
  OleApartment() { CoInitialize(nullptr); }
  ~OleApartment() { CoUninitialize(); }
};

using test_setups::ShellFolder;

using engine_test::Exists;

// Removes a file or a directory tree; the current directory, which the group shortcuts
// leave in their folder, moves out of the way first.
inline void RemoveTree(const std::string& path) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  SetCurrentDirectoryA(temp);
  engine_test::RemoveTree(path);
}

// The session's paths and an empty Archive (engine_fixture.h), with the file table's
// statuses set as the installation writes them.
class LinkSession : public engine_test::EngineSession {
 public:
  ~LinkSession() { EntryMarks = nullptr; }
  // Entry n's status is statuses[n] (STATUS_NONE where none is given), its marks marks[n]
  // (none where none are given).
  void LoadTable(const std::vector<FileRecord>& records, const std::vector<uint16_t>& statuses = {},
                 const std::vector<uint8_t>& marks = {}) {
    engine_test::LoadFileTable(records);
    for (size_t i = 0; i < statuses.size(); ++i) EntryAt(uint32_t(i))->status = statuses[i];
    marks_ = marks;
    marks_.resize(records.size() + 1);
    EntryMarks = marks_.data();
  }

 private:
  std::vector<uint8_t> marks_;
};

using ScratchFolder = engine_test::ScratchDirectory;

// A file or folder outside the scratch folder (in the Programs folder), removed afterwards.
struct RemovedAfterwards {
  explicit RemovedAfterwards(std::string path) : path(std::move(path)) { RemoveTree(this->path); }
  ~RemovedAfterwards() { RemoveTree(path); }
  std::string path;
};

// The fields of a link that the tests look at.
struct LinkFields {
  bool loaded = false;
  std::string path, arguments, iconPath;
  int iconIndex = -1;
};

// A saved link's fields as the shell reads them back (loaded false when it could not).
inline LinkFields ReadLink(const std::string& file) {
  LinkFields fields;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return fields;
  }
  IPersistFile* persist = nullptr;
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    fields.loaded = SUCCEEDED(persist->Load(wide, STGM_READ));
    persist->Release();
  }
  char text[MAX_PATH] = "";
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  fields.path = text;
  text[0] = '\0';
  link->GetArguments(text, MAX_PATH);
  fields.arguments = text;
  text[0] = '\0';
  link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
  fields.iconPath = text;
  link->Release();
  return fields;
}

// The whole content of a file; empty when it cannot be read.
inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

// Reads the uninstall data's fields back, little-endian, from a position on.
class FieldReader {
 public:
  FieldReader(std::vector<uint8_t> bytes, size_t at) : bytes(std::move(bytes)), at(at) {}
  uint32_t U8() { return Take(1); }
  uint32_t U16() { return Take(2); }
  uint32_t U32() { return Take(4); }
  std::string Counted() {
    const uint32_t length = U16();
    if (at + length > bytes.size()) return "<past the end>";
    std::string text(bytes.begin() + at, bytes.begin() + at + length);
    at += length;
    return text;
  }
  void Skip(size_t n) { at += n; }
  size_t Position() const { return at; }
  size_t Size() const { return bytes.size(); }

 private:
  uint32_t Take(size_t n) {
    uint32_t value = 0;
    for (size_t i = 0; i < n && at < bytes.size(); ++i) value |= uint32_t(bytes[at++]) << (8 * i);
    return value;
  }
  std::vector<uint8_t> bytes;
  size_t at;
};

}  // namespace links_test
