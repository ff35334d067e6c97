// The version resource read the way Windows finds it: PE headers, the section that holds the
// resource directory, three levels of the resource tree, then the VS_VERSIONINFO blocks.
// Offsets are widened to 64 bits before they are added, so no sum of file fields wraps.
#include "builder/win32/version_resource.h"

#include <algorithm>
#include <cstddef>

#include "base/byte_order.h"
#include "builder/win32/pe_headers.h"

namespace {

// The optional header's NumberOfRvaAndSizes and the data directories behind it: PE32+ drops
// BaseOfData and widens ImageBase and the four stack and heap sizes, 16 bytes more.
constexpr size_t PE32_DIRECTORY_COUNT_OFFSET = 92;
constexpr size_t PE32_PLUS_DIRECTORY_COUNT_OFFSET = 108;
constexpr size_t DATA_DIRECTORY_SIZE = 8;  // RVA, size
constexpr uint32_t RESOURCE_DIRECTORY_INDEX = 2;

// IMAGE_RESOURCE_DIRECTORY: its named and id entry counts at 12 and 14, its entries behind it.
constexpr size_t RESOURCE_DIRECTORY_SIZE = 16;
constexpr size_t RESOURCE_NAMED_COUNT_OFFSET = 12;
constexpr size_t RESOURCE_ID_COUNT_OFFSET = 14;
constexpr size_t RESOURCE_ENTRY_SIZE = 8;  // name or id, then the offset of what it names
constexpr size_t RESOURCE_DATA_ENTRY_SIZE = 16;  // RVA, size, code page, reserved
// In an entry's name: the name is a string; in its offset: a subdirectory, not a data entry.
constexpr uint32_t RESOURCE_HIGH_BIT = 0x80000000;
constexpr uint32_t RT_VERSION = 16;

// A version block: wLength (the whole block with its children), wValueLength (in bytes, or in
// characters for a text value), wType, then a NUL-terminated UTF-16 key and padding to 4.
constexpr size_t BLOCK_HEADER_SIZE = 6;
constexpr size_t BLOCK_MIN_SIZE = BLOCK_HEADER_SIZE + 2;  // an empty key's terminator
constexpr uint16_t BLOCK_TYPE_TEXT = 1;
constexpr size_t BLOCK_ALIGNMENT = 4;
// VS_FIXEDFILEINFO: 13 DWORDs, the versions right behind the signature and struct version.
constexpr size_t FIXED_INFO_SIZE = 52;
constexpr uint32_t FIXED_INFO_SIGNATURE = 0xFEEF04BD;
constexpr size_t FIXED_FILE_VERSION_OFFSET = 8;
constexpr size_t TRANSLATION_SIZE = 4;  // one language and code page pair

bool Fail(std::string* error, std::string reason) {
  if (error) *error = std::move(reason);
  return false;
}

// The resource directory's RVA from the optional header (0: none).
uint32_t ResourceRva(ByteView file, const PeHeaders& headers) {
  const size_t countOffset =
      headers.magic == PE32_MAGIC ? PE32_DIRECTORY_COUNT_OFFSET : PE32_PLUS_DIRECTORY_COUNT_OFFSET;
  const size_t resourceEntry = countOffset + 4 + RESOURCE_DIRECTORY_INDEX * DATA_DIRECTORY_SIZE;
  const uint8_t* optional = file.data() + headers.optional;
  // A header too short for the resource entry, or counting fewer directories, has no resources.
  if (headers.optionalSize >= resourceEntry + DATA_DIRECTORY_SIZE &&
      LoadU32LE(optional + countOffset) > RESOURCE_DIRECTORY_INDEX &&
      LoadU32LE(optional + resourceEntry + 4) != 0) {
    return LoadU32LE(optional + resourceEntry);
  }
  return 0;
}

// The resource tree: the bytes from the root directory to the end of its section. Every offset
// in the tree counts from the root.
struct ResourceTree {
  const uint8_t* bytes = nullptr;
  size_t size = 0;

  // The offset word of the entry of directory `at` whose id is `id`, or of its first entry
  // when `id` is negative. 1 when found, 0 when the directory has no such entry, -1 when the
  // directory is outside the tree.
  int FindEntry(uint32_t at, long id, uint32_t* target) const {
    if (!Holds(size, at, RESOURCE_DIRECTORY_SIZE)) return -1;
    const uint8_t* directory = bytes + at;
    const size_t count = size_t(LoadU16LE(directory + RESOURCE_NAMED_COUNT_OFFSET)) +
                         LoadU16LE(directory + RESOURCE_ID_COUNT_OFFSET);
    const uint64_t entries = uint64_t(at) + RESOURCE_DIRECTORY_SIZE;
    if (!Holds(size, entries, uint64_t(count) * RESOURCE_ENTRY_SIZE)) return -1;
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* entry = directory + RESOURCE_DIRECTORY_SIZE + i * RESOURCE_ENTRY_SIZE;
      if (id < 0 || LoadU32LE(entry) == uint32_t(id)) {
        *target = LoadU32LE(entry + 4);
        return 1;
      }
    }
    return 0;
  }
};

// Finds the version resource's data: its file offset and size. The walk goes down exactly
// three levels, reading one entry of each, so a directory that points back up cannot loop.
bool FindVersionData(const SectionTable& sections, uint32_t resourceRva, size_t* offset,
                     size_t* size, std::string* error) {
  ResourceTree tree;
  size_t root = 0;
  if (!sections.Map(resourceRva, &root, &tree.size) || tree.size < RESOURCE_DIRECTORY_SIZE) {
    return Fail(error, "resource directory outside the file");
  }
  tree.bytes = sections.file.data() + root;
  static const char* const LEVELS[] = {"type", "name", "language"};
  uint32_t at = 0;
  for (int level = 0; level < 3; ++level) {
    uint32_t target = 0;
    const int found = tree.FindEntry(at, level == 0 ? long(RT_VERSION) : -1, &target);
    if (found < 0) return Fail(error, "resource directory outside the file (at " + Hex(at) + ")");
    if (found == 0) {
      return Fail(error, level == 0 ? "no version resource"
                                    : std::string("no version resource (its ") + LEVELS[level] +
                                          " directory is empty)");
    }
    const bool directory = (target & RESOURCE_HIGH_BIT) != 0;
    if (directory != (level < 2)) {
      return Fail(error, std::string("the version resource's ") + LEVELS[level] + " entry " +
                             (directory ? "is a directory, not its data"
                                        : "has data, not a directory"));
    }
    at = target & ~RESOURCE_HIGH_BIT;
  }
  if (!Holds(tree.size, at, RESOURCE_DATA_ENTRY_SIZE)) {
    return Fail(error, "resource data entry outside the file (at " + Hex(at) + ")");
  }
  const uint32_t dataRva = LoadU32LE(tree.bytes + at);
  const uint32_t dataSize = LoadU32LE(tree.bytes + at + 4);
  size_t available = 0;
  if (!sections.Map(dataRva, offset, &available) || dataSize > available) {
    return Fail(error, "the version resource's " + std::to_string(dataSize) + " bytes at RVA " +
                           Hex(dataRva) + " are outside the file");
  }
  *size = dataSize;
  return true;
}

size_t Align(size_t offset) { return (offset + BLOCK_ALIGNMENT - 1) & ~(BLOCK_ALIGNMENT - 1); }

// One version block, its offsets counted from the start of the version resource (which the
// resource compilers place at a 4-byte aligned RVA, so that padding counts from there too).
struct Block {
  std::string key;  // characters past ASCII read as '?': only ASCII keys are looked for
  size_t valueStart = 0, valueSize = 0, childrenStart = 0, end = 0;
};

// Reads the block at `start`, which must end by `limit`.
bool ReadBlock(const uint8_t* bytes, size_t start, size_t limit, Block* block, std::string* error) {
  const std::string where = "the version resource's block at " + Hex(uint32_t(start));
  if (!Holds(limit, start, BLOCK_MIN_SIZE)) return Fail(error, where + " is cut short");
  const uint16_t length = LoadU16LE(bytes + start);
  if (length < BLOCK_MIN_SIZE || !Holds(limit, start, length)) {
    return Fail(error, where + " has a length of " + std::to_string(length) +
                           " bytes, outside its parent");
  }
  block->end = start + length;
  block->key.clear();
  size_t at = start + BLOCK_HEADER_SIZE;
  for (;; at += 2) {
    if (at + 2 > block->end) return Fail(error, where + " has no end to its key");
    const uint16_t c = LoadU16LE(bytes + at);
    if (c == 0) break;
    block->key += c < 0x80 ? char(c) : '?';
  }
  const uint16_t valueLength = LoadU16LE(bytes + start + 2);
  const uint16_t type = LoadU16LE(bytes + start + 4);
  block->valueSize = type == BLOCK_TYPE_TEXT ? size_t(valueLength) * 2 : valueLength;
  block->valueStart = Align(at + 2);
  if (block->valueSize == 0) block->valueStart = std::min(block->valueStart, block->end);
  if (!Holds(block->end, block->valueStart, block->valueSize)) {
    return Fail(error, where + " (\"" + block->key + "\") has a value longer than the block");
  }
  block->childrenStart = Align(block->valueStart + block->valueSize);
  return true;
}

// Finds the child of `parent` keyed `key`. *found is false when it has none; false is returned
// only when a child before it is malformed.
bool FindChild(const uint8_t* bytes, const Block& parent, const char* key, Block* child,
               bool* found, std::string* error) {
  *found = false;
  // Each child is at least BLOCK_MIN_SIZE long, so the walk moves forward every step.
  for (size_t at = parent.childrenStart; at < parent.end; at = Align(child->end)) {
    if (!ReadBlock(bytes, at, parent.end, child, error)) return false;
    if (child->key == key) {
      *found = true;
      return true;
    }
  }
  return true;
}

bool ReadVersionBlocks(const uint8_t* bytes, size_t size, FileVersionInfo* info,
                       std::string* error) {
  Block root;
  if (!ReadBlock(bytes, 0, size, &root, error)) return false;
  if (root.key != "VS_VERSION_INFO") {
    return Fail(error, "the version resource is keyed \"" + root.key + "\", not VS_VERSION_INFO");
  }
  if (root.valueSize < FIXED_INFO_SIZE) {
    return Fail(error, "the version resource has no fixed file info");
  }
  const uint8_t* fixed = bytes + root.valueStart;
  if (LoadU32LE(fixed) != FIXED_INFO_SIGNATURE) {
    return Fail(error, "the fixed file info's signature is " + Hex(LoadU32LE(fixed)) + ", not " +
                           Hex(FIXED_INFO_SIGNATURE));
  }
  FileVersionInfo read;
  read.fileVersionMS = LoadU32LE(fixed + FIXED_FILE_VERSION_OFFSET);
  read.fileVersionLS = LoadU32LE(fixed + FIXED_FILE_VERSION_OFFSET + 4);
  read.productVersionMS = LoadU32LE(fixed + FIXED_FILE_VERSION_OFFSET + 8);
  read.productVersionLS = LoadU32LE(fixed + FIXED_FILE_VERSION_OFFSET + 12);
  Block varFileInfo, translation;
  bool found = false;
  if (!FindChild(bytes, root, "VarFileInfo", &varFileInfo, &found, error)) return false;
  if (found && !FindChild(bytes, varFileInfo, "Translation", &translation, &found, error)) {
    return false;
  }
  // No translation, or an empty one: the file names no language, as language 0 says.
  if (found && translation.valueSize >= TRANSLATION_SIZE) {
    read.language = LoadU16LE(bytes + translation.valueStart);
  }
  *info = read;
  return true;
}

}  // namespace

bool ReadVersionInfo(ByteView file, FileVersionInfo* info, std::string* error) {
  PeHeaders headers;
  const std::string fault = ReadPeHeaders(file, &headers);
  if (!fault.empty()) return Fail(error, fault);
  const uint32_t resourceRva = ResourceRva(file, headers);
  if (resourceRva == 0) return Fail(error, "no version resource (the file has no resources)");
  size_t offset = 0, size = 0;
  if (!FindVersionData(headers.sections, resourceRva, &offset, &size, error)) return false;
  return ReadVersionBlocks(file.data() + offset, size, info, error);
}
