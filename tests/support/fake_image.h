// A stand-in for the setup program's image: bytes that hold the ImageSize record (its marker
// and a u32) at a known offset, as the built program does, so that the archive writer can
// patch it and the loader find the archive behind it. It is a PE file as far as the builder
// reads one: its headers at its end, and one section whose raw data is the whole image.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "archive/archive_format.h"
#include "base/byte_order.h"

namespace test_support {

constexpr size_t FAKE_IMAGE_SIZE = 512;
constexpr size_t FAKE_IMAGE_MARKER_OFFSET = 100;

// The PE headers' layout: e_lfanew in the DOS header; the signature, the file header, an
// optional header of its magic alone and one section header, counted from the signature.
constexpr size_t FAKE_PE_LFANEW = 0x3C;
constexpr size_t FAKE_PE_SECTION_COUNT = 4 + 2;
constexpr size_t FAKE_PE_OPTIONAL_SIZE = 4 + 16;
constexpr size_t FAKE_PE_MAGIC = 4 + 20;
constexpr size_t FAKE_PE_SECTION = FAKE_PE_MAGIC + 2;
constexpr size_t FAKE_PE_HEADERS_SIZE = FAKE_PE_SECTION + 40;
// In the section header: its virtual size and address, the size of its raw data and where
// that starts in the file.
constexpr size_t FAKE_SECTION_VIRTUAL_SIZE = 8;
constexpr size_t FAKE_SECTION_ADDRESS = 12;
constexpr size_t FAKE_SECTION_RAW_SIZE = 16;

// The smallest fake image: the DOS header's e_lfanew, then the PE headers behind it.
constexpr size_t FAKE_IMAGE_MIN_SIZE = FAKE_PE_LFANEW + 4 + FAKE_PE_HEADERS_SIZE;
static_assert(FAKE_IMAGE_MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH + 4 <= FAKE_IMAGE_SIZE - FAKE_PE_HEADERS_SIZE,
              "the default image's record lies before its PE headers");

// Where the fake image's one section header lies.
inline uint8_t* FakeImageSection(std::vector<uint8_t>& image) {
  return image.data() + image.size() - FAKE_PE_HEADERS_SIZE + FAKE_PE_SECTION;
}

// `size` bytes of 0xCC with the marker at markerOffset and ImageSize 0 behind it (the value
// that a program without an archive holds), and the PE headers in the last bytes.
inline std::vector<uint8_t> FakeImage(size_t size = FAKE_IMAGE_SIZE,
                                      size_t markerOffset = FAKE_IMAGE_MARKER_OFFSET) {
  // A smaller image would put its PE signature over its own e_lfanew.
  if (size < FAKE_IMAGE_MIN_SIZE || markerOffset + IMAGE_SIZE_MARKER_LENGTH + 4 > size - FAKE_PE_HEADERS_SIZE) {
    throw std::invalid_argument("a fake image of this size cannot hold its record and its PE headers");
  }
  std::vector<uint8_t> image(size, 0xCC);
  image[0] = 'M';
  image[1] = 'Z';
  const size_t pe = size - FAKE_PE_HEADERS_SIZE;
  StoreU32LE(image.data() + FAKE_PE_LFANEW, uint32_t(pe));
  std::fill(image.begin() + long(pe), image.end(), 0);
  image[pe] = 'P';
  image[pe + 1] = 'E';
  StoreU16LE(image.data() + pe + FAKE_PE_SECTION_COUNT, 1);
  StoreU16LE(image.data() + pe + FAKE_PE_OPTIONAL_SIZE, 2);
  StoreU16LE(image.data() + pe + FAKE_PE_MAGIC, 0x10B);  // PE32
  uint8_t* section = FakeImageSection(image);
  StoreU32LE(section + FAKE_SECTION_VIRTUAL_SIZE, uint32_t(size));
  StoreU32LE(section + FAKE_SECTION_ADDRESS, 0x1000);
  StoreU32LE(section + FAKE_SECTION_RAW_SIZE, uint32_t(size));  // the whole file, from offset 0
  for (size_t i = 0; i < IMAGE_SIZE_MARKER_LENGTH; ++i) image[markerOffset + i] = IMAGE_SIZE_MARKER[i];
  StoreU32LE(image.data() + markerOffset + IMAGE_SIZE_MARKER_LENGTH, 0);
  return image;
}

// The small stand-in of a setup or uninstall program that the fuzzers build with: a fake
// image whose ImageSize record holds its own size, as the builder leaves a program's.
constexpr size_t FAKE_PROGRAM_SIZE = 256;
constexpr size_t FAKE_PROGRAM_MARKER_OFFSET = 64;
inline std::vector<uint8_t> FakeProgramImage() {
  std::vector<uint8_t> image = FakeImage(FAKE_PROGRAM_SIZE, FAKE_PROGRAM_MARKER_OFFSET);
  StoreU32LE(image.data() + FAKE_PROGRAM_MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH, uint32_t(FAKE_PROGRAM_SIZE));
  return image;
}

}  // namespace test_support
