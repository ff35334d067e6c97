// The version resource read the way Windows finds it: PE headers, the section that holds the
// resource directory, three levels of the resource tree, then the VS_VERSIONINFO blocks.
// Offsets are widened to 64 bits before they are added, so no sum of file fields wraps.
#include "builder/version_resource.h"

#include <algorithm>
#include <cstddef>

#include "base/byte_order.h"

namespace {

// IMAGE_DOS_HEADER: 64 bytes, e_lfanew (the PE signature's offset) its last field.
constexpr size_t DOS_HEADER_SIZE = 64;
constexpr size_t DOS_LFANEW_OFFSET = 0x3C;
constexpr uint8_t PE_SIGNATURE[4] = {'P', 'E', 0, 0};
// IMAGE_FILE_HEADER, right after the signature.
constexpr size_t COFF_HEADER_SIZE = 20;
constexpr size_t COFF_SECTION_COUNT_OFFSET = 2;
constexpr size_t COFF_OPTIONAL_SIZE_OFFSET = 16;
// The optional header's magic, then NumberOfRvaAndSizes and the data directories behind it:
// PE32+ drops BaseOfData and widens ImageBase and the four stack and heap sizes, 16 bytes more.
constexpr uint16_t PE32_MAGIC = 0x10B;
constexpr uint16_t PE32_PLUS_MAGIC = 0x20B;
constexpr size_t PE32_DIRECTORY_COUNT_OFFSET = 92;
constexpr size_t PE32_PLUS_DIRECTORY_COUNT_OFFSET = 108;
constexpr size_t DATA_DIRECTORY_SIZE = 8;  // RVA, size
constexpr uint32_t RESOURCE_DIRECTORY_INDEX = 2;
// IMAGE_SECTION_HEADER: an 8-byte name, then the fields read here.
constexpr size_t SECTION_HEADER_SIZE = 40;
constexpr size_t SECTION_VIRTUAL_SIZE_OFFSET = 8;
constexpr size_t SECTION_ADDRESS_OFFSET = 12;
constexpr size_t SECTION_RAW_SIZE_OFFSET = 16;
constexpr size_t SECTION_RAW_POINTER_OFFSET = 20;

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

std::string Hex(uint32_t value) {
  static const char DIGITS[] = "0123456789ABCDEF";
  std::string text = "0x";
  bool started = false;
  for (int shift = 28; shift >= 0; shift -= 4) {
    const uint32_t digit = value >> shift & 0xF;
    if (digit != 0 || started || shift == 0) text += DIGITS[digit], started = true;
  }
  return text;
}

// True when [offset, offset + size) lies within a buffer of `total` bytes.
bool Holds(size_t total, uint64_t offset, uint64_t size) {
  return offset <= total && size <= total - offset;
}

// The section table of a PE file, and its one question: where an RVA's bytes are in the file.
struct SectionTable {
  const ByteView* file = nullptr;
  size_t offset = 0;
  uint16_t count = 0;

  // The file offset of rva, and the bytes from it to the end of its section's raw data (cut at
  // the file's end). False when no section holds rva in the file.
  bool Map(uint32_t rva, size_t* fileOffset, size_t* available) const {
    for (uint16_t i = 0; i < count; ++i) {
      const uint8_t* header = file->data() + offset + size_t(i) * SECTION_HEADER_SIZE;
      const uint32_t address = LoadU32LE(header + SECTION_ADDRESS_OFFSET);
      const uint32_t virtualSize = LoadU32LE(header + SECTION_VIRTUAL_SIZE_OFFSET);
      const uint32_t rawSize = LoadU32LE(header + SECTION_RAW_SIZE_OFFSET);
      // Raw data is padded to the file alignment; past the virtual size it is not mapped.
      const uint32_t extent = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
      if (rva < address || rva - address >= extent) continue;
      const uint64_t start =
          uint64_t(LoadU32LE(header + SECTION_RAW_POINTER_OFFSET)) + (rva - address);
      if (start >= file->size()) return false;
      const uint64_t end = start + (extent - (rva - address));
      *fileOffset = static_cast<size_t>(start);
      *available = static_cast<size_t>((end < file->size() ? end : file->size()) - start);
      return true;
    }
    return false;
  }
};

// Reads the headers up to the section table and the resource directory's RVA (0: none).
bool ReadHeaders(const ByteView& file, SectionTable* sections, uint32_t* resourceRva,
                 std::string* error) {
  if (file.size() < DOS_HEADER_SIZE || file[0] != 'M' || file[1] != 'Z') {
    return Fail(error, "not a PE file (no MZ header)");
  }
  const uint64_t pe = LoadU32LE(file.data() + DOS_LFANEW_OFFSET);
  if (!Holds(file.size(), pe, sizeof PE_SIGNATURE + COFF_HEADER_SIZE)) {
    return Fail(error, "not a PE file (its PE header at " + Hex(uint32_t(pe)) +
                           " is outside the file)");
  }
  const uint8_t* p = file.data() + pe;
  for (size_t i = 0; i < sizeof PE_SIGNATURE; ++i) {
    if (p[i] != PE_SIGNATURE[i]) return Fail(error, "not a PE file (no PE signature)");
  }
  const uint8_t* coff = p + sizeof PE_SIGNATURE;
  const uint16_t optionalSize = LoadU16LE(coff + COFF_OPTIONAL_SIZE_OFFSET);
  const uint64_t optional = pe + sizeof PE_SIGNATURE + COFF_HEADER_SIZE;
  if (optionalSize < 2 || !Holds(file.size(), optional, optionalSize)) {
    return Fail(error, "not a PE file (its optional header is missing or outside the file)");
  }
  const uint16_t magic = LoadU16LE(file.data() + optional);
  if (magic != PE32_MAGIC && magic != PE32_PLUS_MAGIC) {
    return Fail(error, "not a PE file (optional header magic " + Hex(magic) + ")");
  }
  const size_t countOffset =
      magic == PE32_MAGIC ? PE32_DIRECTORY_COUNT_OFFSET : PE32_PLUS_DIRECTORY_COUNT_OFFSET;
  const size_t resourceEntry = countOffset + 4 + RESOURCE_DIRECTORY_INDEX * DATA_DIRECTORY_SIZE;
  *resourceRva = 0;
  // A header too short for the resource entry, or counting fewer directories, has no resources.
  if (optionalSize >= resourceEntry + DATA_DIRECTORY_SIZE &&
      LoadU32LE(file.data() + optional + countOffset) > RESOURCE_DIRECTORY_INDEX &&
      LoadU32LE(file.data() + optional + resourceEntry + 4) != 0) {
    *resourceRva = LoadU32LE(file.data() + optional + resourceEntry);
  }
  sections->file = &file;
  sections->offset = static_cast<size_t>(optional + optionalSize);
  sections->count = LoadU16LE(coff + COFF_SECTION_COUNT_OFFSET);
  if (!Holds(file.size(), sections->offset, uint64_t(sections->count) * SECTION_HEADER_SIZE)) {
    return Fail(error, "the section table is outside the file");
  }
  return true;
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
  tree.bytes = sections.file->data() + root;
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
  SectionTable sections;
  uint32_t resourceRva = 0;
  if (!ReadHeaders(file, &sections, &resourceRva, error)) return false;
  if (resourceRva == 0) return Fail(error, "no version resource (the file has no resources)");
  size_t offset = 0, size = 0;
  if (!FindVersionData(sections, resourceRva, &offset, &size, error)) return false;
  return ReadVersionBlocks(file.data() + offset, size, info, error);
}
