// A minimal PE file holding a version resource, built byte by byte: the version resource
// reader's tests break it in each structure it walks, and the fuzzers' seed writer starts
// from it. Everything is inline, for a test or a seed writer to include.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <tuple>
#include <vector>

#include "base/byte_order.h"

namespace minimal_pe {

inline std::vector<uint8_t> Dwords(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> bytes(values.size() * 4);
  size_t at = 0;
  for (uint32_t value : values) {
    StoreU32LE(&bytes[at], value);
    at += 4;
  }
  return bytes;
}

// A binary version block: header, UTF-16 key, value and children, each aligned to 4.
inline std::vector<uint8_t> Block(const char* key, const std::vector<uint8_t>& value,
                           const std::vector<std::vector<uint8_t>>& children = {}) {
  std::vector<uint8_t> block(6);
  for (size_t i = 0; i <= strlen(key); ++i) block.insert(block.end(), {uint8_t(key[i]), 0});
  block.resize((block.size() + 3) & ~size_t(3));
  block.insert(block.end(), value.begin(), value.end());
  for (const std::vector<uint8_t>& child : children) {
    block.resize((block.size() + 3) & ~size_t(3));
    block.insert(block.end(), child.begin(), child.end());
  }
  StoreU16LE(&block[0], uint16_t(block.size()));
  StoreU16LE(&block[2], uint16_t(value.size()));
  return block;
}

constexpr uint32_t SIGNATURE = 0xFEEF04BD;
constexpr uint32_t GERMAN_1252 = 0x04E40407;  // language 0x0407, code page 1252
constexpr uint32_t ENGLISH_1200 = 0x04B00409;
// The program compares the language id alone: the code page is not kept.
constexpr uint32_t GERMAN = 0x0407;
constexpr uint32_t ENGLISH = 0x0409;

// 1.2.3.4 and 5.6.7.8, a string table, then two translations of which the first counts.
inline std::vector<uint8_t> FixedInfo(uint32_t signature = SIGNATURE) {
  return Dwords({signature, 0x10000, 0x10002, 0x30004, 0x50006, 0x70008, 0x3F, 0, 4, 2, 0, 0, 0});
}
inline std::vector<uint8_t> SampleVersion() {
  return Block("VS_VERSION_INFO", FixedInfo(),
               {Block("StringFileInfo", {}, {Block("040704e4", {})}),
                Block("VarFileInfo", {},
                      {Block("Translation", Dwords({GERMAN_1252, ENGLISH_1200}))})});
}

// The minimal PE: headers, one section of resources at RVA 0x1000 and file offset 0x200, in it
// the type, name and language directories with one entry each, the data entry and the data.
constexpr size_t SECTION_FILE_OFFSET = 0x200;
constexpr uint32_t SECTION_RVA = 0x1000;
constexpr uint32_t NAME_DIRECTORY = 0x18, LANGUAGE_DIRECTORY = 0x30, DATA_ENTRY = 0x48;
constexpr uint32_t VERSION_DATA = 0x58;
constexpr uint32_t SUBDIRECTORY = 0x80000000;

inline std::vector<uint8_t> MinimalPe(bool plus, const std::vector<uint8_t>& version = SampleVersion()) {
  const uint32_t sectionSize = VERSION_DATA + uint32_t(version.size());
  std::vector<uint8_t> pe(SECTION_FILE_OFFSET + sectionSize);
  pe[0] = 'M';
  pe[1] = 'Z';
  StoreU32LE(&pe[0x3C], 0x40);
  memcpy(&pe[0x40], "PE\0\0", 4);
  uint8_t* coff = &pe[0x44];
  const uint16_t optionalSize = plus ? 240 : 224;  // fixed fields, then 16 data directories
  StoreU16LE(coff, plus ? 0x8664 : 0x14C);
  StoreU16LE(coff + 2, 1);  // one section
  StoreU16LE(coff + 16, optionalSize);
  uint8_t* optional = coff + 20;
  StoreU16LE(optional, plus ? 0x20B : 0x10B);
  uint8_t* directories = optional + (plus ? 112 : 96);
  StoreU32LE(directories - 4, 16);
  StoreU32LE(directories + 16, SECTION_RVA);  // the resource directory, the third
  StoreU32LE(directories + 20, sectionSize);
  uint8_t* section = optional + optionalSize;
  StoreU32LE(section + 8, sectionSize);
  StoreU32LE(section + 12, SECTION_RVA);
  StoreU32LE(section + 16, sectionSize);
  StoreU32LE(section + 20, SECTION_FILE_OFFSET);
  uint8_t* tree = &pe[SECTION_FILE_OFFSET];
  using Entry = std::tuple<uint32_t, uint32_t, uint32_t>;  // directory, id, target
  for (auto [at, id, target] : {Entry{0, 16, SUBDIRECTORY | NAME_DIRECTORY},
                                Entry{NAME_DIRECTORY, 1, SUBDIRECTORY | LANGUAGE_DIRECTORY},
                                Entry{LANGUAGE_DIRECTORY, 0x409, DATA_ENTRY}}) {
    StoreU16LE(tree + at + 14, 1);  // one id entry
    StoreU32LE(tree + at + 16, id);
    StoreU32LE(tree + at + 20, target);
  }
  StoreU32LE(tree + DATA_ENTRY, SECTION_RVA + VERSION_DATA);
  StoreU32LE(tree + DATA_ENTRY + 4, uint32_t(version.size()));
  memcpy(tree + VERSION_DATA, version.data(), version.size());
  return pe;
}

// The offset word of the one entry of the directory at `directory` in the minimal PE.
inline uint8_t* EntryTarget(std::vector<uint8_t>& pe, uint32_t directory) {
  return &pe[SECTION_FILE_OFFSET + directory + 20];
}


}  // namespace minimal_pe
