// PE headers read field by field at their offsets. Offsets are widened to 64 bits before they
// are added, so no sum of file fields wraps.
#include "builder/win32/pe_headers.h"

#include <algorithm>

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
constexpr size_t MAGIC_SIZE = 2;
// IMAGE_SECTION_HEADER: an 8-byte name, then the fields read here.
constexpr size_t SECTION_HEADER_SIZE = 40;
constexpr size_t SECTION_VIRTUAL_SIZE_OFFSET = 8;
constexpr size_t SECTION_ADDRESS_OFFSET = 12;
constexpr size_t SECTION_RAW_SIZE_OFFSET = 16;
constexpr size_t SECTION_RAW_POINTER_OFFSET = 20;

}  // namespace

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

bool Holds(size_t total, uint64_t offset, uint64_t size) {
  return offset <= total && size <= total - offset;
}

bool SectionTable::Map(uint32_t rva, size_t* fileOffset, size_t* available) const {
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* header = file.data() + offset + size_t(i) * SECTION_HEADER_SIZE;
    const uint32_t address = LoadU32LE(header + SECTION_ADDRESS_OFFSET);
    const uint32_t virtualSize = LoadU32LE(header + SECTION_VIRTUAL_SIZE_OFFSET);
    const uint32_t rawSize = LoadU32LE(header + SECTION_RAW_SIZE_OFFSET);
    // Raw data is padded to the file alignment; past the virtual size it is not mapped.
    const uint32_t extent = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
    if (rva < address || rva - address >= extent) continue;
    const uint64_t start = uint64_t(LoadU32LE(header + SECTION_RAW_POINTER_OFFSET)) + (rva - address);
    if (start >= file.size()) return false;
    const uint64_t end = start + (extent - (rva - address));
    *fileOffset = static_cast<size_t>(start);
    *available = static_cast<size_t>((end < file.size() ? end : file.size()) - start);
    return true;
  }
  return false;
}

size_t SectionTable::ImageExtent() const {
  uint64_t end = 0;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* header = file.data() + offset + size_t(i) * SECTION_HEADER_SIZE;
    const uint32_t rawSize = LoadU32LE(header + SECTION_RAW_SIZE_OFFSET);
    if (rawSize == 0) continue;  // uninitialised data has no bytes in the file
    end = std::max(end, uint64_t(LoadU32LE(header + SECTION_RAW_POINTER_OFFSET)) + rawSize);
  }
  return static_cast<size_t>(std::min<uint64_t>(end, file.size()));
}

std::string ReadPeHeaders(ByteView file, PeHeaders* headers) {
  if (file.size() < DOS_HEADER_SIZE || file[0] != 'M' || file[1] != 'Z') {
    return "not a PE file (no MZ header)";
  }
  const uint64_t pe = LoadU32LE(file.data() + DOS_LFANEW_OFFSET);
  if (!Holds(file.size(), pe, sizeof PE_SIGNATURE + COFF_HEADER_SIZE)) {
    return "not a PE file (its PE header at " + Hex(uint32_t(pe)) + " is outside the file)";
  }
  const uint8_t* p = file.data() + pe;
  for (size_t i = 0; i < sizeof PE_SIGNATURE; ++i) {
    if (p[i] != PE_SIGNATURE[i]) return "not a PE file (no PE signature)";
  }
  const uint8_t* coff = p + sizeof PE_SIGNATURE;
  const uint16_t optionalSize = LoadU16LE(coff + COFF_OPTIONAL_SIZE_OFFSET);
  const uint64_t optional = pe + sizeof PE_SIGNATURE + COFF_HEADER_SIZE;
  if (optionalSize < MAGIC_SIZE || !Holds(file.size(), optional, optionalSize)) {
    return "not a PE file (its optional header is missing or outside the file)";
  }
  const uint16_t magic = LoadU16LE(file.data() + optional);
  if (magic != PE32_MAGIC && magic != PE32_PLUS_MAGIC) {
    return "not a PE file (optional header magic " + Hex(magic) + ")";
  }
  headers->optional = static_cast<size_t>(optional);
  headers->optionalSize = optionalSize;
  headers->magic = magic;
  headers->sections.file = file;
  headers->sections.offset = static_cast<size_t>(optional + optionalSize);
  headers->sections.count = LoadU16LE(coff + COFF_SECTION_COUNT_OFFSET);
  if (!Holds(file.size(), headers->sections.offset, uint64_t(headers->sections.count) * SECTION_HEADER_SIZE)) {
    return "the section table is outside the file";
  }
  return "";
}
