// Reading the uninstall program's archive: one walk over its blocks checks every field and
// counts the records; a second walk, over bytes known to be sound, fills the list.
#include "uninstall/removal_list.h"

#include <cstring>

#include "archive/names.h"
#include "base/byte_order.h"
#include "base/memory.h"
#include "base/path_buffer.h"

namespace {

constexpr uint32_t RELATIVE_PREFIX_LENGTH = 2;  // ".\" in front of a subdirectory
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

// The setup's own key for the application: the Uninstall key's path and one name.
bool IsUninstallKey(const CountedText& key) {
  return key.length > UNINSTALL_KEY_PREFIX_LENGTH &&
         std::memcmp(key.text, UNINSTALL_KEY_PREFIX, UNINSTALL_KEY_PREFIX_LENGTH) == 0 &&
         CheckKeyName(key.text + UNINSTALL_KEY_PREFIX_LENGTH, key.length - UNINSTALL_KEY_PREFIX_LENGTH) == NAME_OK;
}

bool ReadRemovalFile(FieldReader& fields, RemovalFile* file) {
  return fields.Counted(&file->directory) && fields.Counted(&file->name) && fields.U8(&file->flags) &&
         UninstallTakesFileRecord(file->directory.text, file->directory.length, file->name.text, file->name.length);
}

bool ReadRemovalShortcut(FieldReader& fields, RemovalShortcut* shortcut) {
  return fields.Counted(&shortcut->folder) && fields.Counted(&shortcut->link) &&
         UninstallTakesShortcutRecord(shortcut->folder.text, shortcut->folder.length, shortcut->link.text,
                                      shortcut->link.length);
}

// One walk over the blocks: it checks every field and counts the records. The list's
// arrays are null on the first walk, which stores nothing; on the second they hold room for
// the counts of the first, and the walk stores the records into them.
struct BlockWalk {
  RemovalList* list;
  uint32_t files = 0, shortcuts = 0, keys = 0, counts = 0;
  // The records of the latest UNINSTALL_FILES block, which an UNINSTALL_CREATED block marks.
  uint32_t runFirst = 0, runCount = 0;
  bool runSeen = false;
};

// Each block's records; false when they are damaged.
bool TakeTexts(FieldReader& fields, BlockWalk* walk) {
  uint16_t textCount = 0;
  if (!fields.U16(&textCount)) return false;
  for (uint32_t i = 0; i < textCount; ++i) {
    CountedText text;
    if (!fields.Counted(&text)) return false;
    if (i < UNINSTALL_TEXTS_KNOWN) walk->list->texts[i] = text;
  }
  return true;
}

bool TakeFiles(FieldReader& fields, BlockWalk* walk) {
  // The count cannot promise more records than the block has room for.
  uint32_t count = 0;
  if (!fields.U32(&count) || count > fields.Left() / FILE_RECORD_MIN_SIZE) return false;
  walk->runFirst = walk->files;
  walk->runCount = count;
  walk->runSeen = true;
  for (uint32_t i = 0; i < count; ++i, ++walk->files) {
    RemovalFile file;
    if (!ReadRemovalFile(fields, &file)) return false;
    if (walk->list->files != nullptr) walk->list->files[walk->files] = file;
  }
  return true;
}

bool TakeShortcuts(FieldReader& fields, BlockWalk* walk) {
  uint32_t count = 0;
  if (!fields.U32(&count) || count > fields.Left() / SHORTCUT_RECORD_MIN_SIZE) return false;
  for (uint32_t i = 0; i < count; ++i, ++walk->shortcuts) {
    RemovalShortcut shortcut;
    if (!ReadRemovalShortcut(fields, &shortcut)) return false;
    if (walk->list->shortcuts != nullptr) walk->list->shortcuts[walk->shortcuts] = shortcut;
  }
  return true;
}

bool TakeAppKey(FieldReader& fields, BlockWalk* walk) {
  uint32_t root = 0;
  CountedText key;
  if (!fields.U32(&root) || root != UNINSTALL_ROOT_LOCAL_MACHINE || !fields.Counted(&key) || !IsUninstallKey(key)) {
    return false;
  }
  if (walk->list->appKeys != nullptr) walk->list->appKeys[walk->keys] = key;
  ++walk->keys;
  return true;
}

// Rising indexes into the run's records; a run marks its records once.
bool TakeCreated(FieldReader& fields, BlockWalk* walk) {
  uint32_t count = 0;
  if (!walk->runSeen || !fields.U32(&count) || count > fields.Left() / UNINSTALL_INDEX_FIELD) return false;
  uint32_t index = 0;
  for (uint32_t i = 0, next = 0; i < count; ++i, next = index + 1) {
    if (!fields.U32(&index) || index < next || index >= walk->runCount) return false;
    if (walk->list->files != nullptr) walk->list->files[walk->runFirst + index].created = true;
  }
  walk->runSeen = false;
  return true;
}

bool TakeCounts(FieldReader& fields, BlockWalk* walk) {
  uint32_t count = 0;
  if (!fields.U32(&count) || count > fields.Left() / COUNTED_STRING_LENGTH_FIELD) return false;
  for (uint32_t i = 0; i < count; ++i, ++walk->counts) {
    CountedText path;
    if (!fields.Counted(&path) || !IsAbsoluteRecordDirectory(path.text, path.length)) return false;
    if (walk->list->counts != nullptr) walk->list->counts[walk->counts] = path;
  }
  return true;
}

// The block's payload taken by its tag; false when it is damaged. A record block holds its
// records and nothing more (the setup writes them so); a block of a later version is passed
// over.
bool TakeBlock(uint16_t tag, FieldReader& fields, BlockWalk* walk) {
  switch (tag) {
    case UNINSTALL_TEXTS: return TakeTexts(fields, walk);
    case UNINSTALL_FILES: return TakeFiles(fields, walk) && fields.Left() == 0;
    case UNINSTALL_SHORTCUTS: return TakeShortcuts(fields, walk) && fields.Left() == 0;
    case UNINSTALL_APP_KEY: return TakeAppKey(fields, walk) && fields.Left() == 0;
    case UNINSTALL_CREATED: return TakeCreated(fields, walk) && fields.Left() == 0;
    case UNINSTALL_COUNTS: return TakeCounts(fields, walk) && fields.Left() == 0;
    default: return true;
  }
}

// Walks the blocks up to the closing end header.
RemovalListStatus WalkBlocks(const uint8_t* bytes, uint32_t size, BlockWalk* walk) {
  FieldReader blocks(bytes, size);
  for (;;) {
    uint16_t tag = 0, flags = 0;
    uint32_t blockSize = 0;
    if (!blocks.U16(&tag) || !blocks.U16(&flags) || !blocks.U32(&blockSize)) return REMOVAL_LIST_DAMAGED;
    if (tag == BLOCK_END) break;
    if (blockSize > blocks.Left()) return REMOVAL_LIST_DAMAGED;
    const uint8_t* payload = bytes + (size - blocks.Left());
    FieldReader fields(payload, blockSize);
    if (!TakeBlock(tag, fields, walk)) return REMOVAL_LIST_DAMAGED;
    blocks = FieldReader(payload + blockSize, blocks.Left() - blockSize);
  }
  return walk->files + walk->shortcuts + walk->keys + walk->counts == 0 ? REMOVAL_LIST_EMPTY : REMOVAL_LIST_OK;
}

template <typename T>
bool AllocateRecords(uint32_t count, T** out) {
  return count == 0 || MemAllocZero(count * uint32_t(sizeof(T)), out);
}

}  // namespace

RemovalListStatus ReadRemovalList(const uint8_t* bytes, uint32_t size, RemovalList* list) {
  *list = RemovalList{};
  // The first walk stores no record; the counts are set only when it reached the end.
  BlockWalk counting = {list};
  const RemovalListStatus checked = WalkBlocks(bytes, size, &counting);
  if (checked != REMOVAL_LIST_OK) return checked;
  list->fileCount = counting.files;
  list->shortcutCount = counting.shortcuts;
  list->appKeyCount = counting.keys;
  list->countCount = counting.counts;
  if (!AllocateRecords(list->fileCount, &list->files) ||
      !AllocateRecords(list->shortcutCount, &list->shortcuts) ||
      !AllocateRecords(list->appKeyCount, &list->appKeys) || !AllocateRecords(list->countCount, &list->counts)) {
    FreeRemovalList(list);
    return REMOVAL_LIST_NO_MEMORY;
  }
  BlockWalk storing = {list};
  return WalkBlocks(bytes, size, &storing);
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
