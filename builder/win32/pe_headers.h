// The headers of a PE file (a Windows program or DLL) as the builder reads them from the
// file's bytes: where the optional header lies, and the section table. The version resource
// reader maps RVAs through the sections; the setup reader takes the program image's extent
// from them, so that the archive behind the image is never read as part of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/io/file_bytes.h"

constexpr uint16_t PE32_MAGIC = 0x10B;
constexpr uint16_t PE32_PLUS_MAGIC = 0x20B;

// "0x" and the value's hexadecimal digits, for messages about a file's fields.
std::string Hex(uint32_t value);

// True when [offset, offset + size) lies within a buffer of `total` bytes.
bool Holds(size_t total, uint64_t offset, uint64_t size);

// The section table of a PE file, and its questions.
struct SectionTable {
  ByteView file{nullptr, 0};
  size_t offset = 0;
  uint16_t count = 0;

  // The file offset of rva, and the bytes from it to the end of its section's raw data (cut at
  // the file's end). False when no section holds rva in the file.
  bool Map(uint32_t rva, size_t* fileOffset, size_t* available) const;
  // The file's bytes that the image holds: up to the end of the last section's raw data (cut at
  // the file's end). What follows (a setup's archive, a signature) is not the image's.
  size_t ImageExtent() const;
};

struct PeHeaders {
  size_t optional = 0;        // file offset of the optional header
  uint16_t optionalSize = 0;  // its bytes, at least the magic's two
  uint16_t magic = 0;         // PE32_MAGIC or PE32_PLUS_MAGIC
  SectionTable sections;
};

// Reads the DOS header, the PE signature, the file and optional headers and the section
// table's place, every offset checked against the file. Empty when they hold, else the reason
// in a sentence ("not a PE file (...)", "the section table is outside the file").
std::string ReadPeHeaders(ByteView file, PeHeaders* headers);
