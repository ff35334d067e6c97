// Fuzzes the uninstall program's data reader on arbitrary bytes, copied to a heap block of
// exactly their size. Data it accepts name only what a setup writes: files below the
// installation folder (".", ".\sub") or in an absolute folder of plain names, shortcuts
// ending in ".lnk" in such a folder, and only keys of the application's own Uninstall key
// path. Data it refuses leave no record behind: nothing would be removed on their word.
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "archive/archive_format.h"
#include "base/path_buffer.h"
#include "uninstall/removal_list.h"

namespace {

constexpr char INSTALL_DIR[] = "C:\\Program Files\\Example\\";

void Fail(const char* what, const CountedText& text = {}) {
  std::fprintf(stderr, "fuzz_removal_list: %s\n", what);
  if (text.text != nullptr) std::fprintf(stderr, "  \"%.*s\"\n", int(text.length), text.text);
  std::abort();
}

// A name the program could create: not empty, not "." or "..", without separators, drive
// colons, wildcards or control characters.
bool IsPlainPart(const std::string& part) {
  if (part.empty() || part == "." || part == "..") return false;
  for (unsigned char c : part) {
    if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
  }
  return true;
}

// The parts of text behind `skip` characters, split at backslashes: each must be plain.
bool PlainParts(const std::string& text, size_t skip) {
  std::string part;
  for (size_t i = skip; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\\') {
      if (!IsPlainPart(part)) return false;
      part.clear();
    } else {
      part += text[i];
    }
  }
  return true;
}

// A drive ("C:" or "C:\\" and names) or a share ("\\\\server\\share" and names).
bool IsAbsoluteFolder(const std::string& folder) {
  if (folder.size() >= 2 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':') {
    return folder.size() == 2 || (folder[2] == '\\' && PlainParts(folder, 3));
  }
  return folder.rfind("\\\\", 0) == 0 && PlainParts(folder, 2);
}

bool IsSetupFolder(const std::string& folder) {
  return folder == "." || (folder.rfind(".\\", 0) == 0 && PlainParts(folder, 2)) || IsAbsoluteFolder(folder);
}

std::string Text(const CountedText& text) { return std::string(text.text, text.length); }

void CheckAccepted(const RemovalList& list) {
  for (uint32_t i = 0; i < list.fileCount; ++i) {
    const RemovalFile& file = list.files[i];
    if (!IsSetupFolder(Text(file.directory))) Fail("a file in a folder no setup writes to", file.directory);
    if (!IsPlainPart(Text(file.name))) Fail("a file name that is not one name", file.name);
    char path[PATH_BUFFER_SIZE];
    if (IsBelowInstallDir(file) && RemovalFilePath(file, INSTALL_DIR, path) &&
        std::strncmp(path, INSTALL_DIR, sizeof INSTALL_DIR - 1) != 0) {
      Fail("a file below the installation folder whose path leaves it", file.directory);
    }
  }
  for (uint32_t i = 0; i < list.shortcutCount; ++i) {
    const std::string link = Text(list.shortcuts[i].link);
    if (!IsAbsoluteFolder(Text(list.shortcuts[i].folder))) Fail("a shortcut outside an absolute folder", list.shortcuts[i].folder);
    if (!IsPlainPart(link) || link.size() <= 4 || strcasecmp(link.c_str() + link.size() - 4, ".lnk") != 0) {
      Fail("a shortcut that is not a .lnk file", list.shortcuts[i].link);
    }
  }
  for (uint32_t i = 0; i < list.appKeyCount; ++i) {
    const std::string key = Text(list.appKeys[i]);
    if (key.rfind(UNINSTALL_KEY_PREFIX, 0) != 0 || key.find('\\', UNINSTALL_KEY_PREFIX_LENGTH) != std::string::npos ||
        key.size() == UNINSTALL_KEY_PREFIX_LENGTH) {
      Fail("a key other than one application's Uninstall key", list.appKeys[i]);
    }
  }
  for (uint32_t i = 0; i < list.countCount; ++i) {
    if (!IsAbsoluteFolder(Text(list.counts[i]))) Fail("a shared count of a path that is not absolute", list.counts[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
  std::memcpy(copy.get(), data, size);
  RemovalList list;
  const RemovalListStatus status = ReadRemovalList(copy.get(), uint32_t(size), &list);
  if (status == REMOVAL_LIST_OK) {
    CheckAccepted(list);
  } else if (list.fileCount + list.shortcutCount + list.appKeyCount + list.countCount != 0 ||
             list.files != nullptr || list.shortcuts != nullptr || list.appKeys != nullptr || list.counts != nullptr) {
    Fail("refused data left records behind");
  }
  FreeRemovalList(&list);
  return 0;
}
