// Reading the uninstall program's archive: one walk over its blocks checks every field and
// counts the records; a second walk, over bytes known to be sound, fills the list.
#include "uninstall/removal_list.h"

#include <cstring>

#include "base/byte_order.h"
#include "base/memory.h"
#include "base/path_buffer.h"
#include "base/text_format.h"

namespace {

constexpr uint32_t RELATIVE_PREFIX_LENGTH = 2;  // ".\" in front of a subdirectory
constexpr char LINK_SUFFIX[] = ".lnk";
constexpr uint32_t LINK_SUFFIX_LENGTH = sizeof(LINK_SUFFIX) - 1;
constexpr uint32_t FILE_RECORD_MIN_SIZE = 2 * COUNTED_STRING_LENGTH_FIELD + 1;
constexpr uint32_t SHORTCUT_RECORD_MIN_SIZE = 2 * COUNTED_STRING_LENGTH_FIELD;

// Takes fields from the front of [at, at + left); a field past the end fails and takes
// nothing.
class FieldReader {
 public:
  FieldReader(const uint8_t* at, uint32_t left) : at_(at), left_(left) {}
  uint32_t Left() const { return left_; }
  bool U8(uint8_t* out) { return Take(1) && (*out = at_[-1], true); }
  bool U16(uint16_t* out) { return Take(2) && (*out = LoadU16LE(at_ - 2), true); }
  bool U32(uint32_t* out) { return Take(4) && (*out = LoadU32LE(at_ - 4), true); }
  bool Counted(CountedText* out) {
    uint16_t length = 0;
    if (!U16(&length) || !Take(length)) return false;
    out->text = reinterpret_cast<const char*>(at_ - length);
    out->length = length;
    return true;
  }

 private:
  bool Take(uint32_t n) {
    if (n > left_) return false;
    at_ += n;
    left_ -= n;
    return true;
  }
  const uint8_t* at_;
  uint32_t left_;
};

bool IsPlainName(const CountedText& name) { return CheckNamePart(name.text, name.length) == NAME_OK; }

bool IsRecordDirectory(const CountedText& d) {
  return IsRelativeRecordDirectory(d.text, d.length) || IsAbsoluteRecordDirectory(d.text, d.length);
}

bool EndsWithLink(const CountedText& name) {
  if (name.length <= LINK_SUFFIX_LENGTH) return false;
  const char* suffix = name.text + name.length - LINK_SUFFIX_LENGTH;
  for (uint32_t i = 0; i < LINK_SUFFIX_LENGTH; ++i) {
    if (UpperAscii(suffix[i]) != UpperAscii(LINK_SUFFIX[i])) return false;
  }
  return true;
}

// The setup's own key for the application: the Uninstall key's path and one name.
bool IsUninstallKey(const CountedText& key) {
  return key.length > UNINSTALL_KEY_PREFIX_LENGTH &&
         std::memcmp(key.text, UNINSTALL_KEY_PREFIX, UNINSTALL_KEY_PREFIX_LENGTH) == 0 &&
         CheckKeyName(key.text + UNINSTALL_KEY_PREFIX_LENGTH, key.length - UNINSTALL_KEY_PREFIX_LENGTH) == NAME_OK;
}

bool ReadFileRecord(FieldReader& fields, RemovalFile* file) {
  return fields.Counted(&file->directory) && fields.Counted(&file->name) && fields.U8(&file->flags) &&
         IsRecordDirectory(file->directory) && IsPlainName(file->name);
}

bool ReadShortcutRecord(FieldReader& fields, RemovalShortcut* shortcut) {
  return fields.Counted(&shortcut->folder) && fields.Counted(&shortcut->link) &&
         IsAbsoluteRecordDirectory(shortcut->folder.text, shortcut->folder.length) &&
         IsPlainName(shortcut->link) && EndsWithLink(shortcut->link);
}

// One walk over the blocks. With fill false it only checks and counts into list; with fill
// true it stores the records into list's arrays, which hold the counted numbers.
RemovalListStatus Walk(const uint8_t* bytes, uint32_t size, RemovalList* list, bool fill) {
  FieldReader blocks(bytes, size);
  uint32_t files = 0, shortcuts = 0, keys = 0, counts = 0;
  // The records of the latest UNINSTALL_FILES block, which an UNINSTALL_CREATED block marks.
  uint32_t runFirst = 0, runCount = 0;
  bool runSeen = false;
  for (;;) {
    uint16_t tag = 0, flags = 0;
    uint32_t blockSize = 0;
    if (!blocks.U16(&tag) || !blocks.U16(&flags) || !blocks.U32(&blockSize)) return REMOVAL_LIST_DAMAGED;
    if (tag == BLOCK_END) break;
    if (blockSize > blocks.Left()) return REMOVAL_LIST_DAMAGED;
    const uint8_t* payload = bytes + (size - blocks.Left());
    FieldReader fields(payload, blockSize);
    uint32_t count = 0;
    uint16_t textCount = 0;
    switch (tag) {
      case UNINSTALL_TEXTS:
        if (!fields.U16(&textCount)) return REMOVAL_LIST_DAMAGED;
        for (uint32_t i = 0; i < textCount; ++i) {
          CountedText text;
          if (!fields.Counted(&text)) return REMOVAL_LIST_DAMAGED;
          if (i < UNINSTALL_TEXTS_KNOWN) list->texts[i] = text;
        }
        break;
      case UNINSTALL_FILES:
        // The count cannot promise more records than the block has room for.
        if (!fields.U32(&count) || count > fields.Left() / FILE_RECORD_MIN_SIZE) return REMOVAL_LIST_DAMAGED;
        runFirst = files;
        runCount = count;
        runSeen = true;
        for (uint32_t i = 0; i < count; ++i, ++files) {
          RemovalFile file;
          if (!ReadFileRecord(fields, &file)) return REMOVAL_LIST_DAMAGED;
          if (fill) list->files[files] = file;
        }
        break;
      case UNINSTALL_SHORTCUTS:
        if (!fields.U32(&count) || count > fields.Left() / SHORTCUT_RECORD_MIN_SIZE) return REMOVAL_LIST_DAMAGED;
        for (uint32_t i = 0; i < count; ++i, ++shortcuts) {
          RemovalShortcut shortcut;
          if (!ReadShortcutRecord(fields, &shortcut)) return REMOVAL_LIST_DAMAGED;
          if (fill) list->shortcuts[shortcuts] = shortcut;
        }
        break;
      case UNINSTALL_APP_KEY: {
        uint32_t root = 0;
        CountedText key;
        if (!fields.U32(&root) || root != UNINSTALL_ROOT_LOCAL_MACHINE || !fields.Counted(&key) ||
            !IsUninstallKey(key)) {
          return REMOVAL_LIST_DAMAGED;
        }
        if (fill) list->appKeys[keys] = key;
        ++keys;
        break;
      }
      case UNINSTALL_CREATED: {
        // Rising indexes into the run's records; a run marks its records once.
        if (!runSeen || !fields.U32(&count) || count > fields.Left() / UNINSTALL_INDEX_FIELD) {
          return REMOVAL_LIST_DAMAGED;
        }
        uint32_t index = 0;
        for (uint32_t i = 0, next = 0; i < count; ++i, next = index + 1) {
          if (!fields.U32(&index) || index < next || index >= runCount) return REMOVAL_LIST_DAMAGED;
          if (fill) list->files[runFirst + index].created = true;
        }
        runSeen = false;
        break;
      }
      case UNINSTALL_COUNTS:
        if (!fields.U32(&count) || count > fields.Left() / COUNTED_STRING_LENGTH_FIELD) return REMOVAL_LIST_DAMAGED;
        for (uint32_t i = 0; i < count; ++i, ++counts) {
          CountedText path;
          if (!fields.Counted(&path) || !IsAbsoluteRecordDirectory(path.text, path.length)) {
            return REMOVAL_LIST_DAMAGED;
          }
          if (fill) list->counts[counts] = path;
        }
        break;
      default:
        break;  // a block of a later version: passed over
    }
    // A record block holds its records and nothing more; the setup writes them so.
    const bool records = tag == UNINSTALL_FILES || tag == UNINSTALL_SHORTCUTS || tag == UNINSTALL_APP_KEY ||
                         tag == UNINSTALL_CREATED || tag == UNINSTALL_COUNTS;
    if (records && fields.Left() != 0) return REMOVAL_LIST_DAMAGED;
    blocks = FieldReader(payload + blockSize, blocks.Left() - blockSize);
  }
  if (!fill) {
    list->fileCount = files;
    list->shortcutCount = shortcuts;
    list->appKeyCount = keys;
    list->countCount = counts;
  }
  return files + shortcuts + keys + counts == 0 ? REMOVAL_LIST_EMPTY : REMOVAL_LIST_OK;
}

template <typename T>
bool AllocateRecords(uint32_t count, T** out) {
  return count == 0 || MemAllocZero(count * uint32_t(sizeof(T)), out);
}

}  // namespace

RemovalListStatus ReadRemovalList(const uint8_t* bytes, uint32_t size, RemovalList* list) {
  *list = RemovalList{};
  // The first walk stores no record and sets the counts only when it reaches the end.
  const RemovalListStatus checked = Walk(bytes, size, list, false);
  if (checked != REMOVAL_LIST_OK) return checked;
  if (!AllocateRecords(list->fileCount, &list->files) ||
      !AllocateRecords(list->shortcutCount, &list->shortcuts) ||
      !AllocateRecords(list->appKeyCount, &list->appKeys) || !AllocateRecords(list->countCount, &list->counts)) {
    FreeRemovalList(list);
    return REMOVAL_LIST_NO_MEMORY;
  }
  return Walk(bytes, size, list, true);
}

void FreeRemovalList(RemovalList* list) {
  MemFree(list->files);
  MemFree(list->shortcuts);
  MemFree(list->appKeys);
  MemFree(list->counts);
  *list = RemovalList{};
}

bool CopyCounted(const CountedText& text, char* buffer, uint32_t size) {
  buffer[0] = '\0';
  if (text.length >= size) return false;
  std::memcpy(buffer, text.text, text.length);
  buffer[text.length] = '\0';
  return true;
}

bool IsBelowInstallDir(const RemovalFile& file) { return file.directory.text[0] == '.'; }

bool RemovalFilePath(const RemovalFile& file, const char* installDir, char* path) {
  char part[PATH_BUFFER_SIZE];
  path[0] = '\0';
  if (IsBelowInstallDir(file)) {
    // "." is installDir itself; ".\sub" is sub below it.
    if (!CopyPath(path, installDir)) return false;
    if (file.directory.length > 1) {
      const CountedText sub = {file.directory.text + RELATIVE_PREFIX_LENGTH,
                               file.directory.length - RELATIVE_PREFIX_LENGTH};
      if (!CopyCounted(sub, part, sizeof part) || !AppendPath(path, part) || !AppendPath(path, "\\")) {
        return false;
      }
    }
  } else if (!CopyCounted(file.directory, path, PATH_BUFFER_SIZE) || !AppendPath(path, "\\")) {
    return false;
  }
  return CopyCounted(file.name, part, sizeof part) && AppendPath(path, part);
}
