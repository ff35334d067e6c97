// Test support: the uninstall program's archive written by hand, field by field at the
// offsets of the format, so that tests can build what setups append and damage it where
// they like.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

namespace test_support {

class UninstallArchive {
 public:
  UninstallArchive& U8(uint8_t v) { return Put(v, 1); }
  UninstallArchive& U16(uint16_t v) { return Put(v, 2); }
  UninstallArchive& U32(uint32_t v) { return Put(v, 4); }
  UninstallArchive& Counted(const std::string& text) {
    U16(static_cast<uint16_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  // A block header whose size is the bytes that follow until End() (or the next Block).
  UninstallArchive& Block(uint16_t tag) {
    Close();
    U16(tag).U16(0).U32(0);
    open = bytes.size();
    return *this;
  }
  // The closing BLOCK_END header.
  UninstallArchive& End() {
    Close();
    return U16(BLOCK_END).U16(0).U32(0);
  }
  UninstallArchive& Texts(const std::vector<std::string>& texts) {
    Block(UNINSTALL_TEXTS).U16(static_cast<uint16_t>(texts.size()));
    for (const std::string& text : texts) Counted(text);
    return *this;
  }
  // A file block: count, then (directory, name, flags) per file.
  struct File {
    std::string directory, name;
    uint8_t flags;
  };
  UninstallArchive& Files(const std::vector<File>& files) {
    Block(UNINSTALL_FILES).U32(static_cast<uint32_t>(files.size()));
    for (const File& file : files) Counted(file.directory).Counted(file.name).U8(file.flags);
    return *this;
  }
  UninstallArchive& Shortcuts(const std::vector<std::pair<std::string, std::string>>& links) {
    Block(UNINSTALL_SHORTCUTS).U32(static_cast<uint32_t>(links.size()));
    for (const auto& link : links) Counted(link.first).Counted(link.second);
    return *this;
  }
  UninstallArchive& AppKey(const std::string& name) {
    return Block(UNINSTALL_APP_KEY).U32(UNINSTALL_ROOT_LOCAL_MACHINE)
        .Counted(std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name);
  }

  // The created records of the files block before it: count, then their indexes.
  UninstallArchive& Created(const std::vector<uint32_t>& indexes) {
    Block(UNINSTALL_CREATED).U32(static_cast<uint32_t>(indexes.size()));
    for (uint32_t index : indexes) U32(index);
    return *this;
  }

  // The counts block: the full paths of files whose counts go down once.
  UninstallArchive& Counts(const std::vector<std::string>& paths) {
    Block(UNINSTALL_COUNTS).U32(static_cast<uint32_t>(paths.size()));
    for (const std::string& path : paths) Counted(path);
    return *this;
  }

  std::vector<uint8_t> bytes;

 private:
  UninstallArchive& Put(uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  // Sets the open block's size to what followed its header.
  void Close() {
    if (open == 0) return;
    const uint32_t size = static_cast<uint32_t>(bytes.size() - open);
    for (int i = 0; i < 4; ++i) bytes[open - 4 + i] = static_cast<uint8_t>(size >> (8 * i));
    open = 0;
  }
  size_t open = 0;  // offset behind the open block's header, 0 when none is open
};

}  // namespace test_support
